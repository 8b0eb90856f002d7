#!/usr/bin/env bash
# Runs the desktop test binary on a private Xvfb with openbox, and with
# xcompmgr too in "composited" mode, inside a private session bus.
# Without the tools or the X server: a loud skip (exit 77), but a failure on CI.
set -u
mode=$1
shift
tests=$1
shift

skip() {
    if [ "${CI:-}" = true ]; then
        echo "******** FAILED: desktop tests ($mode) cannot run on CI: $* ********"
        exit 1
    fi
    echo "******** SKIPPED desktop tests ($mode): $* ********"
    exit 77
}

for tool in Xvfb openbox xdotool xrandr dbus-run-session dbus-send; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh)"
done
[ "$mode" = composited ] && { command -v xcompmgr >/dev/null || skip "xcompmgr is not installed"; }

work=$(mktemp -d /tmp/pawlane-xvfb.XXXXXX)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number to fd 3 once it is ready.
Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; skip "Xvfb did not start"; }
export DISPLAY=":$(head -1 "$work/display")"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.05
done
if [ "$mode" = composited ]; then
    xcompmgr >"$work/xcompmgr.log" 2>&1 &
    pids+=($!)
    sleep 0.5
fi

# Tests never reach the machine's own system bus; a missing bus is a case we handle.
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-system-bus"
echo "desktop tests ($mode) on $DISPLAY"
timeout 280 dbus-run-session -- "$tests" "$@"
