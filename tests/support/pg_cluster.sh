#!/usr/bin/env bash
# Starts or stops the throw-away PostgreSQL cluster that the database tests share (the ctest
# fixture "pg_cluster").
#
#   pg_cluster.sh start STATE_DIR   writes STATE_DIR/locator, a libpq connection string, or
#                                   STATE_DIR/skip, why there is no cluster (tests then skip)
#   pg_cluster.sh stop STATE_DIR    stops the cluster and removes its folder
#
# The cluster lives in a folder of its own under /tmp (a socket path may not exceed 107 bytes,
# and the postgres user cannot reach every build tree), listens on its Unix socket only and runs
# with fsync off: nothing in it outlives the run. As root it runs as the postgres user, since
# initdb refuses root. BREVANT_PG_BINDIR names the server's programs when they are elsewhere;
# BREVANT_PG_FSYNC=on keeps fsync on (for benchmarks).
set -uo pipefail

action=${1:?start or stop}
state=${2:?state folder}
mkdir -p "$state"

as_owner() {
    if [ "$(id -u)" -eq 0 ]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

find_bindir() {
    if [ -n "${BREVANT_PG_BINDIR:-}" ]; then
        if [ -x "$BREVANT_PG_BINDIR/initdb" ]; then echo "$BREVANT_PG_BINDIR"; fi
        return
    fi
    local d
    for d in /usr/lib/postgresql/15/bin /usr/lib/postgresql/*/bin; do
        if [ -x "$d/initdb" ] && [ -x "$d/pg_ctl" ]; then
            echo "$d"
            return
        fi
    done
}

skip() {
    echo "$1" >"$state/skip"
    echo "pg_cluster: $1"
    exit 0
}

stop_cluster() {
    [ -f "$state/cluster" ] || return 0
    local dir bindir
    dir=$(cat "$state/cluster")
    bindir=$(cat "$state/bindir" 2>/dev/null || find_bindir)
    if [ -f "$dir/data/postmaster.pid" ] && [ -n "$bindir" ]; then
        # -w waits until the server has removed its pid file, i.e. it has shut down.
        if ! as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null; then
            as_owner "$bindir/pg_ctl" -D "$dir/data" -m immediate -w -t 60 stop >/dev/null || true
        fi
    fi
    rm -rf -- "$dir"
    rm -f "$state/cluster" "$state/bindir"
}

case "$action" in
start)
    # A cluster left over by an interrupted run goes first.
    stop_cluster
    rm -f "$state/locator" "$state/skip"
    bindir=$(find_bindir)
    [ -n "$bindir" ] || skip "PostgreSQL server programs not installed (Debian package postgresql)"
    if [ "$(id -u)" -eq 0 ] && ! id postgres >/dev/null 2>&1; then
        skip "running as root and there is no postgres user to run the server"
    fi
    dir=$(mktemp -d /tmp/brevant-pg.XXXXXX) || exit 1
    echo "$dir" >"$state/cluster"
    echo "$bindir" >"$state/bindir"
    mkdir "$dir/data" || exit 1
    chmod 0755 "$dir"
    if [ "$(id -u)" -eq 0 ]; then chown postgres: "$dir" "$dir/data"; fi
    if ! as_owner "$bindir/initdb" -D "$dir/data" -U brevant --auth=trust -E UTF8 \
        --locale=C.UTF-8 --no-sync >"$dir/initdb.log" 2>&1; then
        cat "$dir/initdb.log" >&2
        stop_cluster
        exit 1
    fi
    durability="-c fsync=off -c full_page_writes=off -c synchronous_commit=off"
    if [ "${BREVANT_PG_FSYNC:-off}" = on ]; then durability="-c fsync=on"; fi
    if ! as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir' $durability \
            -c max_connections=200" >/dev/null; then
        cat "$dir/server.log" >&2
        stop_cluster
        exit 1
    fi
    # The locator appears complete or not at all: tests read it without a lock.
    echo "host=$dir port=5432 user=brevant dbname=postgres" >"$state/locator.new"
    mv "$state/locator.new" "$state/locator"
    echo "pg_cluster: started in $dir"
    ;;
stop)
    stop_cluster
    rm -f "$state/locator" "$state/skip"
    ;;
*)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
