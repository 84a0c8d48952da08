# Sourced by the smoke tests and the CPU benchmark: a scratch folder, an X
# desktop of our own (Xvfb, 1920 x 1080) and clean-up of both and of the
# program under test ($zorvak_pid) on exit, after the sourcing script's own
# cleanup_more, if it defines one; and the checks the smoke tests share.
# Without Xvfb and xdotool there is no desktop to test on: the sourcing
# script is skipped (exit 77, CTest's skip code).
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"
    exit 77
fi
# The program needs no sound device; the sanitizer build's leak check
# ignores what the system's libraries keep until exit.
export SDL_AUDIODRIVER=dummy
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../sdl" && pwd)/lsan.supp:print_suppressions=0"

work=$(mktemp -d)
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

# Starts Xvfb on a free display and exports DISPLAY; fails after 10 s.
start_xvfb() {
    : >"$work/display"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.err" &
    xvfb_pid=$!
    for ((i = 0; i < 100; i++)); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    if ! [ -s "$work/display" ]; then
        echo "Xvfb did not start"
        cat "$work/xvfb.err"
        return 1
    fi
    export DISPLAY=":$(head -n1 "$work/display")"
}

# The id of the visible window titled exactly $1, waiting up to $2 seconds.
find_window() { timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" | head -n1; }

# ---- Checks: each prints ok or FAILED and counts the failures.
failures=0
check() {  # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# Waits up to $2 seconds for process $1 to end; its exit code in $exit_code.
wait_exit() {
    local pid=$1 limit=$(($2 * 10))
    for ((i = 0; i < limit; i++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            exit_code=$?
            return 0
        fi
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    exit_code=timeout
    return 1
}

# Waits up to $1 seconds for COMMAND... to succeed.
wait_for() {
    local limit=$(($1 * 10))
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
