#!/usr/bin/env bash
# Starts or stops a CalDAV server for the publishing tests, in a scratch folder of its own.
#   caldav-server.sh start radicale|xandikos|fake DIR [PORT]   writes DIR/url and DIR/pid once it answers
#   caldav-server.sh stop DIR
#   caldav-server.sh kill DIR                             ends it at once, as a crash would
# Radicale takes the user "tester" with the password "secret"; Xandikos takes anyone; the fake server
# (fake_caldav.py) takes both and lets the tests choose its faults.
set -euo pipefail

stop() {
    if [ -f "$1/pid" ]; then
        kill "$(cat "$1/pid")" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$(cat "$1/pid")" 2>/dev/null || break; sleep 0.1; done
        rm -f "$1/pid"
    fi
}

case "$1" in
kill)
    kill -9 "$(cat "$2/pid")" 2>/dev/null || true
    rm -f "$2/pid"
    exit 0
    ;;
stop)
    stop "$2"
    exit 0
    ;;
start)
    kind=$2
    dir=$3
    port=${4:-$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')}
    stop "$dir"
    mkdir -p "$dir"
    case "$kind" in
    radicale)
        printf 'tester:secret\n' >"$dir/users"
        cat >"$dir/config" <<CONFIG
[server]
hosts = 127.0.0.1:$port
[auth]
type = htpasswd
htpasswd_filename = $dir/users
htpasswd_encryption = plain
delay = 0
[storage]
filesystem_folder = $dir/collections
[rights]
type = owner_only
[logging]
level = warning
CONFIG
        setsid /usr/bin/python3 -m radicale --config "$dir/config" </dev/null >"$dir/log" 2>&1 &
        echo $! >"$dir/pid"
        echo "http://127.0.0.1:$port/" >"$dir/url"
        ;;
    xandikos)
        setsid xandikos --defaults -d "$dir/data" -l 127.0.0.1 -p "$port" </dev/null >"$dir/log" 2>&1 &
        echo $! >"$dir/pid"
        echo "http://127.0.0.1:$port/" >"$dir/url"
        ;;
    fake)
        setsid /usr/bin/python3 "$(dirname "$0")/fake_caldav.py" "$port" </dev/null >"$dir/log" 2>&1 &
        echo $! >"$dir/pid"
        echo "http://127.0.0.1:$port/" >"$dir/url"
        ;;
    *)
        echo "unknown server: $kind" >&2
        exit 2
        ;;
    esac
    for _ in $(seq 100); do
        if /usr/bin/python3 -c "import socket, sys; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null; then
            exit 0
        fi
        kill -0 "$(cat "$dir/pid")" 2>/dev/null || break
        sleep 0.1
    done
    echo "$kind did not start:" >&2
    cat "$dir/log" >&2
    exit 1
    ;;
esac
