#!/usr/bin/env bash
# Builds Lembrete and runs it on its embedded default (SQLite).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
echo "Lembrete compilado em build/default."
