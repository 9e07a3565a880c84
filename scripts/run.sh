#!/usr/bin/env bash
# Builds Lembrete and runs it on its embedded default (SQLite): lembrete-server on a database in
# ${LEMBRETE_DATA:-~/.local/share/lembrete}, created on the first run together with one operator,
# then the desktop client logged in to it. The server stops when the client exits.
#
# Usage: scripts/run.sh [OPERADOR [SENHA]]
#   The first run creates the operator (default ADMIN, or LEMBRETE_OPERATOR) with the password
#   given (or LEMBRETE_PASSWORD), else a random one, and prints both. Later runs log in with the
#   password given; without one the client's login dialog asks for it.
#   LEMBRETE_PORT chooses the server's port (default 8300).
set -euo pipefail
cd "$(dirname "$0")/.."

operator=${1:-${LEMBRETE_OPERATOR:-ADMIN}}
password=${2:-${LEMBRETE_PASSWORD:-}}
port=${LEMBRETE_PORT:-8300}
data=${LEMBRETE_DATA:-$HOME/.local/share/lembrete}
database="$data/lembrete.db"

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target lembrete-server lembrete-client
server=build/default/src/server/lembrete-server
client=build/default/bin/lembrete-client

mkdir -p "$data"
if [ ! -e "$database" ]; then
  if [ -z "$password" ]; then
    password=$(head -c 64 /dev/urandom | base64 | tr -dc 'A-Za-z0-9' | head -c 12)
  fi
  printf '%s\n' "$password" | "$server" --db "sqlite:$database" operator add "$operator"
  echo "Primeira execução: operador $operator, senha $password (guarde-a; ela não é gravada)."
fi

if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  echo "A porta $port já está em uso; escolha outra com LEMBRETE_PORT." >&2
  exit 1
fi
"$server" --db "sqlite:$database" --listen "127.0.0.1:$port" &
server_pid=$!
trap 'kill "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT
for _ in $(seq 200); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  kill -0 "$server_pid" 2>/dev/null || { echo "lembrete-server não iniciou." >&2; exit 1; }
  sleep 0.05
done

args=(--server "127.0.0.1:$port" --operator "$operator")
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  # No desktop here: start once off screen, show that the agenda opens, and stop.
  echo "Sem tela gráfica: o cliente abre a agenda fora da tela e termina."
  export QT_QPA_PLATFORM=offscreen
  args+=(--quit-after-start)
fi
if [ -n "$password" ]; then
  printf '%s\n' "$password" | "$client" "${args[@]}" --password-stdin
else
  "$client" "${args[@]}"
fi
