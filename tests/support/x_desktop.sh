# Sourced by the smoke test and the CPU benchmark: a scratch folder, an X
# desktop of our own (Xvfb, 1920 x 1080) and clean-up of both and of the
# program under test ($zorvak_pid) on exit.
work=$(mktemp -d)
xvfb_pid=
zorvak_pid=
cleanup() {
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
