#!/usr/bin/env bash
# Runs a command on a private Xvfb screen managed by openbox (window frames, work area, frame extents), then stops
# both. Usage: with_openbox.sh [-s WIDTHxHEIGHT] [-d DPI] command [args...]
set -euo pipefail
size=1280x1024
dpi=96
while getopts s:d: option; do
    case $option in
    s) size=$OPTARG ;;
    d) dpi=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))

work=$(mktemp -d)
xvfb_pid=
wm_pid=
cleanup() {
    for pid in $wm_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The server picks a free display number and writes it to descriptor 3 once it accepts connections.
Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi "$dpi" -nolisten tcp 3>"$work/display" >/dev/null 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done

# A configuration of its own, so that no user's or system's openbox settings change the frame.
mkdir -p "$work/config/openbox"
cp /etc/xdg/openbox/rc.xml "$work/config/openbox/rc.xml"
XDG_CONFIG_HOME="$work/config" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
# The window manager is ready once it has claimed the screen and published what it supports.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_REQUEST_FRAME_EXTENTS && break
    sleep 0.1
done
xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_REQUEST_FRAME_EXTENTS ||
    { cat "$work/openbox.log" >&2; echo "openbox did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"
