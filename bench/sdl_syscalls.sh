#!/bin/bash
# What the program asks of the system per timer tick on an X desktop of its
# own (Xvfb, no window manager): strace -c over SECONDS in the attract loop
# and then in a game, divided by the ticks in that time (20 a second).
# Prints, for each, the calls per tick: waits (poll: those that sleep and
# those that only look), reads of the X connection (recvmsg, read), writes
# (writev, write), and the rest; and the wake-ups per tick, the scheduler's
# count of the times the program went to sleep (voluntary context
# switches), counted over as long again without strace, which adds its own.
#
#   bench/sdl_syscalls.sh ZORVAK [SECONDS]      (default 20)
set -u
zorvak=${1:?usage: sdl_syscalls.sh ZORVAK [SECONDS]}
seconds=${2:-20}
command -v strace >/dev/null || { echo "needs strace"; exit 1; }

# shellcheck source=../tests/support/x_desktop.sh
. "$(dirname "$0")/../tests/support/x_desktop.sh"
start_xvfb || exit 1

# counts PID FILE: the wake-ups over $seconds, then strace -c of the process
# for as long, into FILE.
counts() {
    local before after
    before=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/status")
    sleep "$seconds" # time let pass on purpose: what is measured
    after=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "/proc/$1/status")
    echo "wakeups $((after - before))" >"$2.wakeups"
    timeout -s INT "$seconds" strace -c -f -p "$1" -o "$2" 2>/dev/null
}
# per_tick FILE WHAT: the table's calls per tick, by kind.
per_tick() {
    awk -v ticks=$((seconds * 20)) -v what="$2" '
        /^[ 0-9.]+ +[0-9.]+ +[0-9]+ +[0-9]+/ {
            name = $NF; calls = $4
            if (name ~ /^(poll|ppoll|select|pselect6|epoll_wait|epoll_pwait)$/) wait += calls
            else if (name ~ /^(recvmsg|recvfrom|read|readv)$/) reads += calls
            else if (name ~ /^(writev|write|sendmsg|sendto)$/) writes += calls
            else if (name != "total" && name != "restart_syscall") other += calls
        }
        /^wakeups/ { wakeups = $2 }
        END { printf "%-12s wake-ups %5.2f  polls %5.2f  reads %5.2f  writes %5.2f  other %5.2f" \
                     "  (per tick, over %d ticks)\n", what, wakeups / ticks, wait / ticks,
                     reads / ticks, writes / ticks, other / ticks, ticks }' "$1.wakeups" "$1"
}

"$zorvak" >"$work/out" 2>"$work/err" &
zorvak_pid=$!
window=$(find_window ZORVAK 15)
[ -n "$window" ] || { echo "no window"; cat "$work/err"; exit 1; }
# Time let pass on purpose: the start-up work done, as desktop_bench.sh does.
sleep 2
counts "$zorvak_pid" "$work/attract"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool mousemove --window "$window" 9 9
xdotool key --clearmodifiers alt+n
sleep 1 # the game under way
counts "$zorvak_pid" "$work/game"
per_tick "$work/attract" "attract loop"
per_tick "$work/game" "a game"
