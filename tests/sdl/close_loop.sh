#!/bin/bash
# Ending the real program on an X desktop, many times over and under load:
# every Quit, every close request and every window destroyed by another
# client must end the program with exit code 0 and no X error.
#
#   close_loop.sh ZORVAK XHELPER [ROUNDS [WAYS]]
#
# Each round ends the program once in each way (default: "quit close
# destroy": Alt+Q, the window manager's close request, xdotool windowclose).
#
# Exit 0: passed; 77: Xvfb or xdotool missing (skipped); anything else: failed.
set -u
zorvak=$1
xhelper=$2
rounds=${3:-10}
ways=${4:-quit close destroy}

# shellcheck source=../support/x_desktop.sh
. "$(dirname "$0")/../support/x_desktop.sh"

# Busy processes of our own, one per core, so that the program and the X
# server are scheduled late, as on a loaded desktop.
load_pids=()
stop_load() {
    local pid
    for pid in "${load_pids[@]}"; do kill "$pid" 2>/dev/null; done
    load_pids=()
}
cleanup_more() { stop_load; }
for ((i = 0; i < $(nproc); i++)); do
    (while :; do :; done) &
    load_pids+=($!)
done

start_xvfb || exit 1

# end_once WAY: starts the program, lets it run a moment, ends it that way.
end_once() {
    local way=$1
    "$zorvak" >"$work/out" 2>"$work/err" &
    zorvak_pid=$!
    local window
    window=$(find_window ZORVAK 30)
    if [ -z "$window" ]; then
        echo "FAILED ($way): no window"
        failures=$((failures + 1))
        kill -9 "$zorvak_pid" 2>/dev/null
        wait "$zorvak_pid" 2>/dev/null
        zorvak_pid=
        return
    fi
    # Let some ticks and exposures go by, so that the loop is waiting in
    # the event queue when the request comes: a random 0.1 to 0.4 s that
    # waits for nothing in particular, on purpose.
    sleep 0.$((RANDOM % 4 + 1))
    case $way in
    quit)
        xdotool windowfocus --sync "$window" 2>/dev/null
        xdotool key --clearmodifiers alt+q
        ;;
    close) "$xhelper" close "$window" ;;
    destroy) xdotool windowclose "$window" 2>/dev/null ;;
    esac
    wait_exit "$zorvak_pid" 30
    zorvak_pid=
    if [ "$exit_code" != 0 ] || grep -q "X Error" "$work/err"; then
        echo "FAILED ($way): exit code $exit_code"
        sed 's/^/    stderr: /' "$work/err"
        failures=$((failures + 1))
    fi
}

total=0
for ((round = 0; round < rounds; round++)); do
    for way in $ways; do
        end_once "$way"
        total=$((total + 1))
    done
done
echo "$((total - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
