#!/usr/bin/env bash
# Installs the Debian packages Lembrete needs to build, run and test, when any is missing.
# One list for the whole project; called by scripts/run.sh and scripts/test.sh.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libsimdjson-dev libcpp-httplib-dev libsodium-dev
  libsoci-dev libboost-dev libssl-dev openssl libsqlite3-dev sqlite3 libpq-dev postgresql
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n poppler-utils
  libical-dev libxml2-dev python3-icalendar
  clang libclang-rt-dev dpkg-dev systemd
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Instalando pacotes: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
