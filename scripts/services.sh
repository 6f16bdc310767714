#!/usr/bin/env bash
# Throw-away services for the tests, sourced by scripts/test.sh:
#   services_start   starts a PostgreSQL cluster on 127.0.0.1 (a free port from
#                    55432 up) with the role velmora_reader, and exports
#                    VELMORA_TEST_PG for the tests
#   services_stop    stops it and removes its folder
# Safe to call again: a stale folder of an earlier run is stopped and removed.

velmora_pg_dir() { echo "${VELMORA_PG_DIR:-/tmp/velmora-pg-$(id -u)-$(basename "$(pwd)")}"; }

velmora_pg_bin() {
  local bin
  for bin in /usr/lib/postgresql/*/bin; do [ -x "$bin/initdb" ] && { echo "$bin"; return 0; }; done
  return 1
}

# Runs a PostgreSQL tool as the database owner (initdb refuses to run as root).
velmora_pg_run() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

services_stop() {
  local dir bin
  dir=$(velmora_pg_dir)
  bin=$(velmora_pg_bin) || return 0
  if [ -f "$dir/data/postmaster.pid" ]; then
    velmora_pg_run "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$dir"
}

services_start() {
  local dir bin port
  bin=$(velmora_pg_bin) || { echo "services: PostgreSQL is not installed; its tests will skip" >&2; return 0; }
  dir=$(velmora_pg_dir)
  services_stop
  if [ "$(id -u)" -eq 0 ]; then install -d -o postgres -m 700 "$dir"; else install -d -m 700 "$dir"; fi
  velmora_pg_run "$bin/initdb" -D "$dir/data" -A trust -E UTF8 --locale=C.UTF-8 -U postgres >"$dir/initdb.log" 2>&1 || {
    echo "services: initdb failed:" >&2; cat "$dir/initdb.log" >&2; return 1; }
  for port in $(seq 55432 55499); do
    # A port someone else listens on is skipped.
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
      if velmora_pg_run "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 30 \
          -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c max_connections=200" start >/dev/null 2>&1; then
        export VELMORA_TEST_PG="host=127.0.0.1 port=$port user=postgres dbname=postgres"
        # The login the application server runs client SQL with (see PgStorage.h).
        "$bin/psql" -X -q -d "$VELMORA_TEST_PG" -c "CREATE ROLE velmora_reader LOGIN" >/dev/null || {
          echo "services: could not create the role velmora_reader" >&2; return 1; }
        echo "services: PostgreSQL on 127.0.0.1:$port"
        return 0
      fi
    fi
  done
  echo "services: could not start PostgreSQL:" >&2
  cat "$dir/server.log" >&2 2>/dev/null
  return 1
}
