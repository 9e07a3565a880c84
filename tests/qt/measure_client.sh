#!/usr/bin/env bash
# Measures the desktop client (figures only, nothing fails on a number):
#   1. time from starting lembrete-client, logged in through its command line, to the agenda
#      shown with the day's list (the client's own --quit-after-start), and its peak RSS;
#   2. the agenda listing 10,000 reminders ("A partir da data selecionada"): load time and the
#      peak RSS of the process (the disabled Qt test MeasureTest).
# Usage: tests/qt/measure_client.sh [build folder]   (default build/default, built if needed)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/default}
cmake --build "$build" --target lembrete-server lembrete-client qt_client_tests >/dev/null
export QT_QPA_PLATFORM=offscreen

work=$(mktemp -d /tmp/lembrete-measure.XXXXXX)
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
server="$build/src/server/lembrete-server"
cleanup() { [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
echo medida-longa | "$server" --db "sqlite:$work/l.db" operator add MEDIDA 2>/dev/null
# 10,000 reminders, one every seven minutes from today 08:00 (about 200 on today's list).
sqlite3 "$work/l.db" "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000)
  INSERT INTO ATIVPESSOAL SELECT 'MEDIDA', i, 'Lembrete ' || i, 'lembrete ' || i,
  strftime('%Y-%m-%dT%H:%M:%S', date('now', 'localtime'), '+8 hours', '+' || (i * 7) || ' minutes'),
  'P', CASE WHEN i % 3 = 0 THEN 'S' ELSE 'N' END, 5, 'S', NULL, NULL FROM n;"
"$server" --db "sqlite:$work/l.db" --listen "127.0.0.1:$port" 2>/dev/null &
pid=$!
until (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do sleep 0.05; done

for run in 1 2 3; do
  echo medida-longa | /usr/bin/time -f "processo inteiro: %e s; pico de memória residente: %M KiB" \
    "$build/bin/lembrete-client" --server "127.0.0.1:$port" --operator MEDIDA --password-stdin \
    --quit-after-start 2>&1 | grep -v -e XDG_RUNTIME -e propagateSizeHints
done
"$build/tests/qt/qt_client_tests" --gtest_also_run_disabled_tests \
  --gtest_filter='MeasureTest.*' 2>&1 | grep -e "lembretes carregada" -e FAILED || true
