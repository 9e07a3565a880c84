#!/usr/bin/env bash
# Builds lembrete-server and lembrete-client with CPack, checks what each package holds and
# depends on, and the systemd unit's hardening; then unpacks both into a temporary root and
# runs the installed programs from it: the server's --version, an operator added and a server
# on a loopback port, and the installed client logging in and opening the agenda, which it can
# do only by finding the installed module.
# Usage: check_packages.sh BUILD_DIR VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
work=$(mktemp -d /tmp/lembrete-packages.XXXXXX)
server_pid=
cleanup() {
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}" >/dev/null 2>&1; then echo "ok: $1"; else echo "FALHOU: $1"; failures=$((failures + 1)); fi
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
arch=$(dpkg --print-architecture)
server_deb="$work/out/lembrete-server_${version}_${arch}.deb"
client_deb="$work/out/lembrete-client_${version}_${arch}.deb"
check "pacote do servidor gerado" test -f "$server_deb"
check "pacote do cliente gerado" test -f "$client_deb"

dpkg-deb -c "$server_deb" >"$work/server.list"
dpkg-deb -c "$client_deb" >"$work/client.list"
dpkg-deb -f "$server_deb" Depends >"$work/server.depends"
dpkg-deb -f "$client_deb" Depends >"$work/client.depends"
for path in ./usr/bin/lembrete-server ./usr/lib/systemd/system/lembrete-server.service \
            ./etc/default/lembrete-server; do
  check "servidor contém $path" grep -q " $path\$" "$work/server.list"
done
for path in ./usr/bin/lembrete-client ./usr/lib/lembrete/libPKG_LMB00300.so \
            ./usr/share/applications/lembrete-client.desktop \
            ./usr/share/icons/hicolor/256x256/apps/lembrete-client.png; do
  check "cliente contém $path" grep -q " $path\$" "$work/client.list"
done
check "o cliente não leva o programa do servidor" bash -c "! grep -q lembrete-server '$work/client.list'"
# Found by dpkg-shlibdeps, plus what is loaded at run time.
for package in libc6 libsodium libsqlite3 libsoci-core libsoci-sqlite3 libsoci-postgresql libpq5 \
               libssl3 adduser; do
  check "servidor depende de $package" grep -q "$package" "$work/server.depends"
done
for package in libc6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
  check "cliente depende de $package" grep -q "$package" "$work/client.depends"
done
mkdir "$work/control"
dpkg-deb -e "$server_deb" "$work/control"
check "postinst cria o usuário lembrete" grep -q "adduser --system --group" "$work/control/postinst"
check "/etc/default/lembrete-server é um conffile" grep -qx /etc/default/lembrete-server \
  "$work/control/conffiles"

root="$work/root"
dpkg-deb -x "$server_deb" "$root"
dpkg-deb -x "$client_deb" "$root"
unit="$root/usr/lib/systemd/system/lembrete-server.service"
for setting in User=lembrete StateDirectory=lembrete NoNewPrivileges=yes ProtectSystem=strict \
               ProtectHome=yes PrivateTmp=yes CapabilityBoundingSet= \
               Environment=LEMBRETE_DB=sqlite:/var/lib/lembrete/lembrete.db; do
  check "unidade: $setting" grep -qxF "$setting" "$unit"
done
check "unidade: ExecStart do programa instalado" grep -q '^ExecStart=/usr/bin/lembrete-server ' "$unit"
# Exposure 0 (locked down) to 10 (unprotected); --threshold is in tenths.
check "unidade com exposição até 2,5 (systemd-analyze security)" \
  systemd-analyze security --offline=yes --threshold=25 "$unit"
systemd-analyze security --offline=yes "$unit" 2>"$work/unit.warnings" | tail -n 1
check "unidade sem opções desconhecidas" bash -c "! grep -Eiq 'unknown|invalid|failed' '$work/unit.warnings'"

check "o cliente instalado não guarda caminho do build" bash -c "! grep -qF '$build' '$root/usr/bin/lembrete-client'"
check "lembrete-server --version" \
  bash -c "[ \"\$('$root/usr/bin/lembrete-server' --version)\" = 'lembrete-server $version' ]"
check "lembrete-client --version" \
  bash -c "[ \"\$('$root/usr/bin/lembrete-client' --version)\" = 'lembrete-client $version' ]"

database="sqlite:$work/lembrete.db"
printf 'senha-do-pacote\n' | "$root/usr/bin/lembrete-server" --db "$database" operator add pacote \
  >"$work/operator.log" 2>&1 || true
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
"$root/usr/bin/lembrete-server" --db "$database" --listen "127.0.0.1:$port" --threads 2 \
  2>"$work/server.log" &
server_pid=$!
for _ in $(seq 100); do
  grep -q "ouvindo em" "$work/server.log" && break
  sleep 0.1
done
check "servidor instalado ouvindo em 127.0.0.1:$port" grep -q "ouvindo em" "$work/server.log"

mkdir "$work/home"
printf 'senha-do-pacote\n' |
  env -u LEMBRETE_MODULE_DIR HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
    QT_QPA_PLATFORM=offscreen timeout 60 "$root/usr/bin/lembrete-client" \
    --server "127.0.0.1:$port" --operator pacote --password-stdin --quit-after-start \
    >"$work/client.log" 2>&1 || true
check "cliente instalado abre a agenda com o módulo instalado" grep -q "agenda mostrada" "$work/client.log"

if [ "$failures" -ne 0 ]; then
  echo "--- servidor:"; cat "$work/operator.log" "$work/server.log"
  echo "--- cliente:"; cat "$work/client.log"
  echo "$failures verificações falharam"
  exit 1
fi
echo "todas as verificações dos pacotes passaram"
