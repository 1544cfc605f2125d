# Shared helpers of the end-to-end tests: a private Xvfb, the real game in a scratch
# folder, X input through xdotool, and screenshots through ImageMagick.
set -euo pipefail

: "${SKARNHOLT_GAME_DIR:?set by CTest: the folder holding skarnholt and its assets}"
GAME="$SKARNHOLT_GAME_DIR/skarnholt"
TOOLS="${SKARNHOLT_TOOLS_DIR:-}"
# The bounds that tell a hung game from a slow one stretch by this factor on a processor that
# runs the game many times slower (an emulated one; see scripts/test-arch.sh).
TIME_SCALE="${SKARNHOLT_TEST_TIME_SCALE:-1}"
E2E_TMP=$(mktemp -d)
XVFB_PID=""
GAME_PID=""

# Ends the background process $1 and reaps it. SDL turns SIGTERM into a quit event, which a
# hung game never reads, so a process still there after 5 s is killed.
stop_process() {
    local pid=$1 i
    kill "$pid" 2>/dev/null || true
    for i in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

e2e_cleanup() {
    [ -z "$GAME_PID" ] || stop_process "$GAME_PID"
    [ -z "$XVFB_PID" ] || stop_process "$XVFB_PID"
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${E2E_OUT:-}" ] && [ -f "$E2E_OUT" ]; then
        echo "--- game stdout (tail) ---" >&2; tail -n 5 "$E2E_OUT" >&2
    fi
    if [ -n "${E2E_ERR:-}" ] && [ -f "$E2E_ERR" ]; then
        echo "--- game stderr (tail) ---" >&2; tail -n 15 "$E2E_ERR" >&2
    fi
    exit 1
}

# Ends the test as skipped (status 77): it cannot test its condition on this machine. As root
# with mount namespaces every test can, so there a skip fails, whatever led the test to it.
skip_test() {
    if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
        fail "the test would be skipped on a machine that can run it (root, mount namespaces): $*"
    fi
    echo "SKIPPED: $*"
    exit 77
}

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
# SDL opens the display, closes it and opens it again; were that first client the only one,
# its leaving would reset the server under the second (-noreset keeps the server as it is).
start_xvfb() {
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" 2>/dev/null &
    XVFB_PID=$!
    local number
    read -r -t 20 number <"$fifo" || fail "Xvfb did not start"
    export DISPLAY=":$number"
}

# A scratch working folder holding copies of the game's assets.
make_scratch() {
    SCRATCH="$E2E_TMP/run"
    mkdir -p "$SCRATCH"
    find "$SKARNHOLT_GAME_DIR" -maxdepth 1 -type f ! -name skarnholt -exec cp {} "$SCRATCH" \;
}

# Starts the game in $SCRATCH with any extra environment given as NAME=VALUE words.
# Classic SDL sometimes fails to reach a fresh Xvfb; only that failure is retried.
launch_game() {
    E2E_OUT="$E2E_TMP/stdout"
    E2E_ERR="$E2E_TMP/stderr"
    local attempt
    for attempt in 1 2 3 4 5; do
        (cd "$SCRATCH" && exec env "$@" "$GAME" >"$E2E_OUT" 2>"$E2E_ERR") &
        GAME_PID=$!
        if wait_for_window; then
            place_window
            return 0
        fi
        if ! grep -q "Couldn't open X11 display" "$E2E_ERR"; then
            fail "the game window did not appear"
        fi
        stop_process "$GAME_PID"
        GAME_PID=""
    done
    fail "SDL could not open the X display in five attempts"
}

# True once the game's window is mapped; false when the game died first. A slow machine's
# game may take many seconds to open it; this one's takes well under one.
wait_for_window() {
    local i
    for i in $(seq 1 $((600 * TIME_SCALE))); do
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        if xdotool search --name '^Skarnholt$' >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# The X id of the game's window.
game_window() {
    xdotool search --name '^Skarnholt$' | head -n 1
}

# "X Y" of the top-left corner of window $1 on the screen.
window_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
                             END { print x, y }'
}

# Moves the game's window to the screen's top-left corner, so that screen positions are
# window positions: classic SDL opens it there, SDL 2 in the middle of the screen.
place_window() {
    local window i
    window=$(game_window)
    xdotool windowmove "$window" 0 0
    for i in $(seq 1 50); do
        [ "$(window_origin "$window")" = "0 0" ] && return 0
        sleep 0.1
    done
    fail "the game's window stays at $(window_origin "$window"), not at the screen's corner"
}

# Waits up to $1 seconds (times TIME_SCALE) for the game to end; sets GAME_STATUS to its exit
# status, or to "running" when it is still going.
wait_game_exit() {
    local seconds=$1 i
    GAME_STATUS="running"
    for i in $(seq 1 $((seconds * 10 * TIME_SCALE))); do
        if ! kill -0 "$GAME_PID" 2>/dev/null; then
            GAME_STATUS=0
            wait "$GAME_PID" || GAME_STATUS=$?
            GAME_PID=""
            return 0
        fi
        sleep 0.1
    done
}

# Screenshot of the whole screen; the game window sits at (0, 0) (place_window).
screenshot() {
    import -window root "$1"
}

# The colour of one pixel as "r,g,b" in 0..255.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -n 1 |
        sed -E 's/.*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/'
}

release_escape() {
    xdotool keydown Escape
    sleep 0.3
    xdotool keyup Escape
}

# The game must still be running; Escape released must then end it with status 0.
# The optional words say in which situation, for the failure message.
quit_expecting_zero() {
    kill -0 "$GAME_PID" 2>/dev/null || fail "the game died${1:+ $1}"
    release_escape
    wait_game_exit 30
    [ "$GAME_STATUS" = "0" ] || fail "the game ended with status $GAME_STATUS${1:+ $1}"
}

# Window position of a point of the city for the starting camera: tile_at COLUMN ROW [HEIGHT].
tile_at() {
    "$TOOLS/tile_pixel" "$@"
}

# Clicks the left button at window position X Y.
click_at() {
    xdotool mousemove "$1" "$2"
    sleep 0.1
    xdotool click 1
}

# True when the pixel at X Y of a screenshot is clearly green (the pick marker).
is_green() {
    local rgb r g b
    rgb=$(pixel "$1" "$2" "$3")
    IFS=, read -r r g b <<<"$rgb"
    [ $((g - r)) -gt 25 ] && [ $((g - b)) -gt 25 ]
}

# Seconds of audio that SDL's disk driver has written so far (16-bit stereo, 44.1 kHz).
audio_seconds() {
    local bytes
    bytes=$(stat -c %s "$1" 2>/dev/null || echo 0)
    awk -v bytes="$bytes" 'BEGIN { printf "%.3f\n", bytes / 176400 }'
}

# Environment for launch_game that captures the game's audio into $1.
disk_audio() {
    echo "SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$1 SDL_DISKAUDIODELAY=93"
}

# Environment for launch_game that preloads the call probe, logging to $PROBE_LOG (see
# tests/probe/game_probe.cpp for the lines it writes).
PROBE_LOG="$E2E_TMP/probe.log"
probe_env() {
    echo "LD_PRELOAD=$TOOLS/libgame_probe.so SKARNHOLT_PROBE_LOG=$PROBE_LOG"
}

# Frames the game has presented so far. Needs probe_env.
frames_presented() {
    grep -c ' swap$' "$PROBE_LOG" || true
}

# await FRAMES COMMAND...: waits until COMMAND succeeds; false when the game has presented
# FRAMES more frames first, or died, or presented none for a minute. The game takes one event
# a frame, so frames, not seconds, say how long input may take to be seen: a wall-clock
# pause long enough for an emulated machine would only slow the tests on a native one.
# Needs probe_env.
await() {
    local frames=$1 enough last=-1 still=0 now
    shift
    enough=$(($(frames_presented) + frames))
    until "$@"; do
        now=$(frames_presented)
        ((now < enough)) || return 1
        kill -0 "$GAME_PID" 2>/dev/null || return 1
        if ((now == last)); then
            still=$((still + 1))
            ((still < 600)) || return 1
        else
            still=0
            last=$now
        fi
        sleep 0.1
    done
}

# Waits until the game has presented $1 more frames than now, so that input made before the
# call has been taken and drawn. Needs probe_env.
wait_frames() {
    local enough
    enough=$(($(frames_presented) + $1))
    await "$1" false || true
    (($(frames_presented) >= enough)) || fail "the game died or stopped presenting frames while $1 more were awaited"
}

# Pick passes the game has run so far: one for each left click it took while no pick was on.
pick_passes() {
    grep -c ' select$' "$PROBE_LOG" || true
}

# Pick markers drawn so far: a new one starts when none was drawn for a second.
markers_drawn() {
    awk '$2 == "disk" && $3 == "0.400" { if ($1 - last > 1e9) n++; last = $1 } END { print n + 0 }' "$PROBE_LOG"
}

# expect_seen COUNTER BEFORE MADE WHAT: input that should leave a trace in the probe's log
# must arrive. Waits until the count that the function COUNTER prints has grown from BEFORE
# by MADE, for as many frames as that takes the game and 30 more (a burst of input may still
# be queued); fails when it grows by anything else.
expect_seen() {
    local now
    await $(($3 + 30)) grown_by "$@" || true
    now=$($1)
    [ $((now - $2)) = "$3" ] || fail "$4 did not arrive: the probe saw $((now - $2)) of the $3 made"
}

# grown_by COUNTER BEFORE MADE: true once the count has grown by MADE.
grown_by() {
    (($($1) - $2 >= $3))
}

# Fails unless the clicks made since the probe log counted $1 pick passes led to $2 more;
# $3 says which clicks, for the message.
expect_pick_passes() {
    expect_seen pick_passes "$@"
}

# Clicks tile $1 $2 of the starting view and fails unless the game took the click: it ran
# the pick pass and drew the marker within the next ten frames. Needs probe_env.
click_tile_expecting_marker() {
    local passes markers x y
    passes=$(pick_passes)
    markers=$(markers_drawn)
    read -r x y <<<"$(tile_at "$1" "$2")"
    click_at "$x" "$y"
    wait_frames 10
    expect_pick_passes "$passes" 1 "the click on tile $1,$2"
    (($(markers_drawn) > markers)) || fail "the click on tile $1,$2 ran the pick pass but drew no marker"
}

# The wall clock in ns, as the probe writes it.
now_ns() {
    date +%s%N
}

# A stream of $1 pointer moves over the window, 4 ms apart: a slow mouse, faster than the
# game's frames.
motion_stream() {
    local moves=$1 i words=()
    for i in $(seq 1 "$moves"); do
        words+=(mousemove $((500 + (i % 50) * 4)) $((250 + (i % 37) * 3)) sleep 0.004)
    done
    xdotool "${words[@]}"
}

# The game's resident memory in kB; empty once it has ended.
rss_kb() {
    awk '/^VmRSS:/ { print $2 }' "/proc/$GAME_PID/status" 2>/dev/null || true
}

# $1 left clicks, $2 ms apart, at window position $3 $4.
click_repeatedly() {
    xdotool mousemove "$3" "$4"
    sleep 0.1
    xdotool click --repeat "$1" --delay "$2" 1
}

# Where a click hits nothing in the starting view, and far enough from the city that a
# camera pushed a few units off its start misses it too: the window's top-left corner.
miss_x=2
miss_y=2

# Reads the memory the game holds, as the probe takes it after the next frame once the heap's
# free pages are handed back (tests/probe/game_probe.cpp): sets HELD_HEAP to the bytes in use
# on the heap, exact whatever the page size, HELD_RESIDENT_KB, and HELD_AT_NS to its time (the
# wall clock in ns). A reading that cannot be taken fails: call it directly, never inside
# $(...), where the failure would end only the subshell. Needs probe_env.
take_reading() {
    local from answer i
    from=$(($(stat -c %s "$PROBE_LOG") + 1))
    kill -USR1 "$GAME_PID" 2>/dev/null || fail "memory reading: the game is not running"
    # The probe answers after the next frame; a few frames without an answer mean it will not.
    # Without any frame for 30 s (times TIME_SCALE) the game is stuck.
    for i in $(seq 1 $((300 * TIME_SCALE))); do
        answer=$(tail -c +"$from" "$PROBE_LOG" |
            awk '$2 == "held" && held == "" { held = $1 " " $3 " " $4 } $2 == "swap" { frames++ }
                 END { print (held != "" ? "held " held : "frames " frames + 0) }')
        [ "${answer%% *}" = held ] && break
        ((${answer#frames } < 5)) ||
            fail "memory reading: the probe did not answer the trim request (${answer#frames } frames drawn since)"
        sleep 0.1
    done
    [ "${answer%% *}" = held ] || fail "memory reading: no frame drawn within $((30 * TIME_SCALE)) s of the trim request"
    read -r _ HELD_AT_NS HELD_HEAP HELD_RESIDENT_KB <<<"$answer"
    [[ "$HELD_HEAP $HELD_RESIDENT_KB" =~ ^[1-9][0-9]*\ [1-9][0-9]*$ ]] ||
        fail "memory reading: the probe could not read the game's memory ($answer)"
}

# The median of the slopes between consecutive points "X Y" on standard input. A leak raises
# every step alike; the GL driver's working memory moves in rare steps of its own (a view it
# had not drawn, a buffer it hands back), which leave the median where the other steps put it.
median_step_slope() {
    awk 'NR > 1 && $1 != x { printf "%.3f\n", ($2 - y) / ($1 - x) } { x = $1; y = $2 }' |
        sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) exit 1; printf "%.0f\n", (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
}

# memory_series ACTION REPEATS EVERY [ACTIONS_PER_REPEAT]: runs the function ACTION REPEATS
# times, reading memory before the first repeat and after every EVERY. Sets SERIES_BYTES to
# the heap bytes each action keeps for good (the median step of the readings against the
# actions made), SERIES_ACTIONS, and SERIES_SHOWN to the readings for a report.
memory_series() {
    local action=$1 repeats=$2 every=$3 per_repeat=${4:-1} i points=()
    take_reading
    points+=("0 $HELD_HEAP $HELD_RESIDENT_KB")
    for i in $(seq 1 "$repeats"); do
        "$action"
        if ((i % every == 0)); then
            take_reading
            points+=("$((i * per_repeat)) $HELD_HEAP $HELD_RESIDENT_KB")
        fi
    done
    SERIES_ACTIONS=$((repeats * per_repeat))
    SERIES_BYTES=$(printf '%s\n' "${points[@]}" | median_step_slope)
    SERIES_SHOWN="$SERIES_BYTES B an action over $SERIES_ACTIONS; heap kB $(printf '%s\n' "${points[@]}" |
        awk '{ printf "%s%d:%.0f", (NR > 1 ? " " : ""), $1, $2 / 1024; r[NR] = $3 }
             END { printf "; resident %+d kB", r[NR] - r[1] }')"
}
