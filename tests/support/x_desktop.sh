# shellcheck shell=bash
# Sourced by the smoke tests and the CPU benchmark: a scratch folder, an X
# desktop of our own (Xvfb, 1920 x 1080) and clean-up of both and of the
# program under test ($zorvak_pid) on exit, after the sourcing script's own
# cleanup_more, if it defines one; the checks the smoke tests share, and
# waits for a condition with a bound in place of fixed sleeps.
# Without Xvfb and xdotool there is no desktop to test on: the sourcing
# script is skipped (exit 77, CTest's skip code).
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"
    exit 77
fi
# The program needs no sound device; the sanitizer build's leak check
# ignores what the system's libraries keep until exit.
export SDL_AUDIODRIVER=dummy
LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../sdl" && pwd)/lsan.supp"
export LSAN_OPTIONS="$LSAN_OPTIONS:print_suppressions=0"

work=$(mktemp -d)
# The program keeps games and settings under these: the tests' own, never the
# user's.
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config"
xvfb_pid=
zorvak_pid=
cleanup() {
    declare -F cleanup_more >/dev/null && cleanup_more
    [ -n "$zorvak_pid" ] && kill "$zorvak_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# ---- Waiting for a condition, never for a fixed time.

# Microseconds since the epoch, without a process of its own.
now_us() { echo "${EPOCHREALTIME//[!0-9]/}"; }

# wait_for SECONDS COMMAND...: runs COMMAND until it succeeds, every 0.05 s;
# fails when it has not within SECONDS (a whole number) of the real clock,
# however long each try takes.
wait_for() {
    local deadline=$(($(now_us) + $1 * 1000000))
    shift
    until "$@"; do
        (($(now_us) < deadline)) || return 1
        sleep 0.05
    done
}

# wait_until SECONDS WHAT COMMAND...: wait_for, and says what did not happen
# when it times out.
wait_until() {
    local seconds=$1 what=$2
    shift 2
    wait_for "$seconds" "$@" && return 0
    echo "timed out after $seconds s waiting for $what"
    return 1
}

# Starts Xvfb (1920 x 1080, 24 bits unless $xvfb_depth says) on a free
# display and exports DISPLAY; fails after 10 s.
start_xvfb() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 "1920x1080x${xvfb_depth:-24}" -nolisten tcp 3>"$work/display" \
        2>"$work/xvfb.err" &
    xvfb_pid=$!
    if ! wait_until 10 "Xvfb to name its display" test -s "$work/display"; then
        cat "$work/xvfb.err"
        return 1
    fi
    DISPLAY=":$(head -n1 "$work/display")"
    export DISPLAY
}

# The id of the visible window titled exactly $1, waiting up to $2 seconds.
find_window() { timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" | head -n1; }

# ---- Checks: each prints ok or FAILED and counts the failures.
failures=0
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# The last line of a smoke test, and so its exit code: fails after a failed
# check.
finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures check(s) failed"
        return 1
    fi
    echo "all checks passed"
}

process_gone() { ! kill -0 "$1" 2>/dev/null; }
# Waits up to $2 seconds for process $1 to end, then kills it; its exit code
# in $exit_code ("timeout" when it had to be killed).
wait_exit() {
    local pid=$1
    if wait_for "$2" process_gone "$pid"; then
        wait "$pid"
        exit_code=$?
        return 0
    fi
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exit_code=timeout
    return 1
}
# check_exit PID SECONDS WHAT: the check that process PID, told to end by
# WHAT, ends within SECONDS with exit code 0.
check_exit() {
    wait_exit "$1" "$2"
    check "$3 ends the program with exit code 0 (got $exit_code)" test "$exit_code" = 0
}
