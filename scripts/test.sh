#!/usr/bin/env bash
# Builds Lembrete and runs every test: unit, integration (a real lembrete-server on loopback with
# fresh SQLite files), the store suite against a throwaway PostgreSQL cluster, and the Qt tests
# on the offscreen platform, the Debian packages; then the fuzz targets.
# Usage: scripts/test.sh [preset]   (default: "default"; or "asan")
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}

bash scripts/install-deps.sh

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"

# A throwaway PostgreSQL cluster, owned by the postgres user, in a temporary folder, on a free port.
pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
pg_dir=$(mktemp -d /tmp/lembrete-pg.XXXXXX)
chown postgres: "$pg_dir"
pg_port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null \
          || shuf -i 20000-40000 -n 1)
as_postgres() { if [ "$(id -un)" = postgres ]; then "$@"; else runuser -u postgres -- "$@"; fi; }
stop_pg() {
  as_postgres "$pg_bin/pg_ctl" -D "$pg_dir/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$pg_dir"
}
trap stop_pg EXIT
as_postgres "$pg_bin/initdb" -D "$pg_dir/data" -U postgres -A trust -E UTF8 --no-locale >/dev/null
as_postgres "$pg_bin/pg_ctl" -D "$pg_dir/data" -l "$pg_dir/log" -w \
  -o "-p $pg_port -k $pg_dir -c listen_addresses=127.0.0.1 -c fsync=off" start >/dev/null
as_postgres "$pg_bin/createdb" -h 127.0.0.1 -p "$pg_port" -U postgres lembrete_test
# The search index's trigram extension, installed once for the database as its owner would: an
# extension belongs to the database, and each test works in a schema of its own that it drops.
as_postgres psql -q -h 127.0.0.1 -p "$pg_port" -U postgres -d lembrete_test \
  -c "CREATE EXTENSION pg_trgm SCHEMA public"
export LEMBRETE_TEST_POSTGRES="postgresql://postgres@127.0.0.1:$pg_port/lembrete_test"

export QT_QPA_PLATFORM=offscreen
ctest --preset "$preset" -j 2

# The fuzz targets, a minute each, side by side (scripts/fuzz.sh SECONDS runs them longer).
scripts/fuzz.sh 60
