#!/usr/bin/env bash
# Starts the local ranking server in the background unless something already listens on its
# port. Used by ./run; quiet, and never fails. The port is the argument, else the one the build
# was configured with (ZB_RANK_PORT), else 21. Its data lives in
# ${XDG_DATA_HOME:-~/.local/share}/zubakko-rankserver, outside the repository.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${BUILD_DIR:-$root/build}/CMakeCache.txt
port=${1:-}
host=127.0.0.1
if [ -z "$port" ] && [ -f "$cache" ]; then
    port=$(sed -n 's/^ZB_RANK_PORT:[A-Z]*=//p' "$cache" 2>/dev/null | head -n1)
    cached_host=$(sed -n 's/^ZB_RANK_HOST:[A-Z]*=//p' "$cache" 2>/dev/null | head -n1)
    user=$(sed -n 's/^ZB_RANK_USER:[A-Z]*=//p' "$cache" 2>/dev/null | head -n1)
    password=$(sed -n 's/^ZB_RANK_PASSWORD:[A-Z]*=//p' "$cache" 2>/dev/null | head -n1)
    # A build pointed at another server needs no local one.
    case "${cached_host:-127.0.0.1}" in 127.0.0.1|localhost) ;; *) exit 0 ;; esac
fi
port=${port:-21}
[ -x /usr/bin/python3 ] || exit 0
# Something answers on the port already: nothing to do.
if /usr/bin/python3 - "$host" "$port" <<'PY' 2>/dev/null; then exit 0; fi
import socket, sys
s = socket.socket()
s.settimeout(0.5)
sys.exit(0 if s.connect_ex((sys.argv[1], int(sys.argv[2]))) == 0 else 1)
PY
data=${XDG_DATA_HOME:-$HOME/.local/share}/zubakko-rankserver
mkdir -p "$data" 2>/dev/null || exit 0
account=()
[ -n "${user:-}" ] && account+=(--user "$user")
[ -n "${password:-}" ] && account+=(--password "$password")
nohup /usr/bin/python3 "$here/rankserver.py" --host "$host" --port "$port" --root "$data/home" \
    "${account[@]}" >>"$data/server.log" 2>&1 </dev/null &
exit 0
