#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests and the benchmarks.
#
#   eval "$(tools/pg-cluster.sh start)"   starts one in a new temporary folder and
#                                         prints the exports that reach it
#   tools/pg-cluster.sh restart [FOLDER]  restarts it as an administrator would
#                                         (pg_ctl restart -m fast): every session
#                                         is ended, the data stays
#   tools/pg-cluster.sh stop [FOLDER]     stops it and removes its folder
#                                         (FOLDER: $QUOR_PG_CLUSTER by default)
#
# The server listens only on a Unix socket inside its folder. Run as root, it
# runs as the unprivileged user "nobody". Its superuser is "quor", trusted on
# the socket: nothing else can reach it.
set -euo pipefail
. "$(dirname "$0")/steps.sh"

bindir() {
  local dir
  for dir in $(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V -r) \
             "$(pg_config --bindir 2>/dev/null || true)"; do
    [ -x "$dir/initdb" ] && [ -x "$dir/pg_ctl" ] && { echo "$dir"; return; }
  done
  echo "pg-cluster: initdb e pg_ctl non trovati (installare il pacchetto postgresql)" >&2
  exit 1
}

# Runs a server program as the owner of the cluster.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u nobody -- "$@"
  else
    "$@"
  fi
}

start() {
  local bin dir
  bin=$(bindir)
  dir=$(mktemp -d "${TMPDIR:-/tmp}/quor-pg.XXXXXX")
  chmod 755 "$dir"
  [ "$(id -u)" -eq 0 ] && chown nobody "$dir"
  if ! as_owner "$bin/initdb" -D "$dir/data" -U quor --auth=trust --encoding=UTF8 \
         --locale=C --no-sync > "$dir/initdb.log" 2>&1; then
    cat "$dir/initdb.log" >&2
    rm -rf "$dir"
    echo "pg-cluster: initdb non riuscito" >&2
    exit 1
  fi
  # A throwaway server: nothing needs to survive a crash.
  if ! as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
         -o "-k $dir -c listen_addresses= -p 5432 -c fsync=off -c synchronous_commit=off \
             -c full_page_writes=off -c max_connections=200" start > /dev/null; then
    cat "$dir/server.log" >&2 || true
    rm -rf "$dir"
    echo "pg-cluster: il server non parte" >&2
    exit 1
  fi
  echo "export QUOR_PG_CLUSTER='$dir'"
  echo "export QUOR_TEST_PG='host=$dir port=5432 dbname=postgres user=quor'"
}

restart() {
  local dir=${1:-${QUOR_PG_CLUSTER:-}}
  if [ -z "$dir" ] || [ ! -d "$dir/data" ]; then
    echo "pg-cluster: nessun server da riavviare in '$dir'" >&2
    exit 1
  fi
  if ! as_owner "$(bindir)/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m fast -w -t 60 \
         restart > /dev/null; then
    tail -n 20 "$dir/server.log" >&2 || true
    echo "pg-cluster: il server non riparte" >&2
    exit 1
  fi
}

stop() {
  local dir=${1:-${QUOR_PG_CLUSTER:-}}
  [ -n "$dir" ] && [ -d "$dir/data" ] || return 0
  as_owner "$(bindir)/pg_ctl" -D "$dir/data" -m immediate -w stop > /dev/null 2>&1 || true
  rm -rf "$dir"
}

case "${1:-}" in
  start) start ;;
  restart) restart "${2:-}" ;;
  stop) stop "${2:-}" ;;
  *) echo "Uso: tools/pg-cluster.sh start | restart [cartella] | stop [cartella]" >&2; exit 2 ;;
esac
