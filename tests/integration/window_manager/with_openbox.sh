#!/usr/bin/env bash
# Runs a command on a private Xvfb screen managed by openbox (window frames, work area, frame extents), then stops
# both. Usage: with_openbox.sh [-s WIDTHxHEIGHT] command [args...]
set -euo pipefail
size=1280x1024
if [ "${1:-}" = -s ]; then
    size=$2
    shift 2
fi

work=$(mktemp -d)
xvfb_pid= wm_pid=
stop() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    for pid in $wm_pid $xvfb_pid; do stop "$pid"; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A display number nobody holds: neither a lock file nor a listening socket. Clients try the abstract socket first,
# so the server started must be the one listening there: a server whose lock file is gone still owns its socket, and
# two servers started on one number at once can both come up, the second without it.
taken() {
    [ -e "/tmp/.X$1-lock" ] || grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix
}
listens_there() {
    local inode
    inode=$(awk -v path="@/tmp/.X11-unix/X$1" '$8 == path { print $7; exit }' /proc/net/unix)
    [ -n "$inode" ] && ls -l "/proc/$2/fd" 2>/dev/null | grep -q "socket:\[$inode\]"
}
# From a random start, so that wrappers started together rarely try the same numbers.
first=$((20 + RANDOM % 200))
for number in $(seq "$first" $((first + 100))); do
    taken "$number" && continue
    # The server writes its number to descriptor 3 once it accepts connections.
    Xvfb ":$number" -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp 3>"$work/display" >/dev/null \
        2>"$work/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        kill -0 "$xvfb_pid" 2>/dev/null && [ ! -s "$work/display" ] || break
        sleep 0.1
    done
    [ -s "$work/display" ] && listens_there "$number" "$xvfb_pid" && break
    stop "$xvfb_pid"
    xvfb_pid=
    : >"$work/display"
done
[ -n "$xvfb_pid" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"

# A configuration of its own, so that no user's or system's openbox settings change the frame.
mkdir -p "$work/config/openbox"
cp /etc/xdg/openbox/rc.xml "$work/config/openbox/rc.xml"
ready() { xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_REQUEST_FRAME_EXTENTS; }
# The window manager is ready once it has claimed the screen and published what it supports. A first connection
# can fail while another server gives up the same number; openbox then exits at once and is started again.
for _ in 1 2 3; do
    XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 100); do
        kill -0 "$wm_pid" 2>/dev/null && ! ready || break
        sleep 0.1
    done
    ready && break
    wait "$wm_pid" 2>/dev/null || true
    wm_pid=
    sleep 0.5
done
ready || { cat "$work/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
