#!/usr/bin/env bash
# CPU and memory of the running app on a private Xvfb with openbox, against
# oneko at 30 Hz under the same conditions (pointer moving along a path):
# for each run, % of one core used by the process and by the X server, and
# the process's peak resident memory. Everything runs twice: without a
# compositing manager (the strip is shaped to its pixels every frame) and
# with xcompmgr (translucent strip, input shape only).
#   bench/desktop_measure.sh [build dir] [seconds per run]
set -u
build=${1:-build}
seconds=${2:-30}
app=$build/pawlane
bench_app=$build/tests/desktop/desktop_bench_app
for tool in Xvfb openbox xcompmgr xdotool /usr/games/oneko; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh)" >&2; exit 1; }
done
[ -x "$app" ] && [ -x "$bench_app" ] || { echo "build $app and $bench_app first" >&2; exit 1; }

work=$(mktemp -d /tmp/pawlane-bench.XXXXXX)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[$i]}"; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1440x900x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -1 "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
sleep 1

# oneko does not always leave on SIGTERM alone.
stop() {
    kill "$1" 2>/dev/null
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# The pointer sweeps back and forth across the middle of the screen.
sweep() {
    while :; do
        for x in $(seq 100 40 1340) $(seq 1340 -40 100); do
            xdotool mousemove "$x" 450
            sleep 0.033
        done
    done
}

# measure <label> <command...>: warm up 3 s, then measure for $seconds.
measure() {
    local label=$1
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$!
    sleep 3
    if ! kill -0 "$pid" 2>/dev/null; then echo "$label: did not keep running"; return; fi
    local p0 x0 p1 x1
    p0=$(ticks "$pid"); x0=$(ticks "$xvfb")
    sleep "$seconds"
    p1=$(ticks "$pid"); x1=$(ticks "$xvfb")
    local peak
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    stop "$pid"
    awk -v l="$label" -v p=$((p1 - p0)) -v x=$((x1 - x0)) -v hz="$hz" -v s="$seconds" -v m="$peak" \
        'BEGIN { printf "%-22s process %5.2f %%   X server %5.2f %%   peak RSS %6.1f MB\n", l, 100*p/hz/s, 100*x/hz/s, m/1024 }'
}

# Fresh preferences for each run; nothing of the user's own is touched.
prefs() {
    rm -rf "$work/xdg"
    mkdir -p "$work/xdg/config/pawlane" "$work/xdg/runtime"
    chmod 700 "$work/xdg/runtime"
    echo "{$1}" >"$work/xdg/config/pawlane/preferences.json"
}
export XDG_CONFIG_HOME=$work/xdg/config XDG_DATA_HOME=$work/xdg/data XDG_RUNTIME_DIR=$work/xdg/runtime
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/no-bus" DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

sweep >/dev/null 2>&1 &
pids+=($!)

ten='"petCounts": {"shiba": 2, "corgi": 1, "golden": 1, "husky": 1, "dalmatian": 1, "cat": 1, "fox": 1, "rabbit": 1, "penguin": 1}'
runs() {
    # What the moving pointer alone costs the X server: subtract it from the rest.
    measure "pointer sweep alone" sleep $((seconds + 10))
    prefs '"petCounts": {"shiba": 1}'
    measure "pawlane, 1 pet" "$app"
    prefs "$ten"
    measure "pawlane, 10 pets" "$app"
    prefs "$ten"
    PAWLANE_BENCH_FRIEND_PETS=10 measure "pawlane, 20 pets" "$bench_app"
    measure "oneko at 30 Hz" /usr/games/oneko -time 33000
}
echo "Each run: ${seconds} s on $DISPLAY (1440x900, openbox), pointer sweeping; % of one core."
echo "-- no compositing manager"
runs
xcompmgr >/dev/null 2>&1 &
compositor=$!
pids+=("$compositor")
sleep 1
echo "-- with xcompmgr (its own CPU not counted)"
runs
