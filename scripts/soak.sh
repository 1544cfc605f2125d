#!/usr/bin/env bash
# Plays the real game with random input for a while, then judges what its memory does:
#   scripts/soak.sh [MINUTES] [GAME_DIR]   (default 10 minutes of random play; the game folder
#   defaults to $SKARNHOLT_GAME_DIR, else build/game, built first if missing)
# Memory is judged as the heap's bytes in use, which the probe reads exactly after each frame.
# With the camera off the city, each action is repeated on its own with nothing else changing,
# before the random play and again after it: clicks that miss, toggles of the buildings, wheel
# notches in and out, arrow holds left and right. A series fails when an action keeps more
# than 1 kB for good, when the probe's log does not show every action arriving, or when a
# reading cannot be taken, and after the play when it costs more than 256 B an action more
# than before it. Last, the game idles without input; it fails when memory held trends up by
# more than 25 kB a minute. It also fails when the game dies, or when Escape does not end it
# with status 0.
# SKARNHOLT_SOAK_SEED replays the input of an earlier run.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
minutes="${1:-10}"
game_dir="${2:-${SKARNHOLT_GAME_DIR:-$root/build/game}}"
if [ ! -x "$game_dir/skarnholt" ]; then
    [ "$game_dir" = "$root/build/game" ] || { echo "soak: no game in $game_dir" >&2; exit 1; }
    bash "$root/scripts/build.sh"
fi
# The game runs from a scratch folder, so its own folder must not be a relative name.
SKARNHOLT_GAME_DIR="$(cd "$game_dir" && pwd)"
export SKARNHOLT_GAME_DIR
# The probe that tells what memory the game holds is built beside the game folder.
SKARNHOLT_TOOLS_DIR="${SKARNHOLT_TOOLS_DIR:-$(dirname "$SKARNHOLT_GAME_DIR")/test-tools}"
export SKARNHOLT_TOOLS_DIR
[ -f "$SKARNHOLT_TOOLS_DIR/libgame_probe.so" ] ||
    { echo "soak: no libgame_probe.so in $SKARNHOLT_TOOLS_DIR (build the tests first)" >&2; exit 1; }
source "$root/tests/e2e/lib.sh"

seed="${SKARNHOLT_SOAK_SEED:-$(date +%s)}"
RANDOM=$seed
sample_every=2

samples=()              # "SECONDS KB" pairs
net_x=0                 # milliseconds held right minus left
net_z=0                 # milliseconds held down minus up
zoomed_in=0             # wheel notches in from the farthest view
clicks=0 holds=0 notches=0 toggles=0
buildings_shown=1
started=$SECONDS

elapsed() { echo $((SECONDS - started)); }

check_alive() {
    kill -0 "$GAME_PID" 2>/dev/null && return 0
    local status=0
    wait "$GAME_PID" || status=$?
    GAME_PID=""
    if [ "$status" = "0" ]; then
        fail "the game ended by itself after $(elapsed) s (status 0: every zombie dead?)"
    fi
    fail "the game died after $(elapsed) s with status $status (seed $seed)"
}

take_sample() {
    local kb
    kb=$(rss_kb)
    check_alive
    samples+=("$(elapsed) $kb")
}

# Arrow holds are short, since the camera moves half a unit every frame, and go against the
# larger balance of held time, so that the camera wanders about the city without leaving it.
hold_arrow() {
    local ms=$((30 + RANDOM % 120)) key
    if ((RANDOM % 2)); then
        if ((net_x > 0)); then key=Left; net_x=$((net_x - ms)); else key=Right; net_x=$((net_x + ms)); fi
    else
        if ((net_z > 0)); then key=Up; net_z=$((net_z - ms)); else key=Down; net_z=$((net_z + ms)); fi
    fi
    xdotool keydown "$key"
    sleep "$(printf '0.%03d' "$ms")"
    xdotool keyup "$key"
    holds=$((holds + 1))
}

# The game zooms in 0.7 steps between eye heights 50, where it starts, and about 21:
# this many notches.
wheel_notches=42
# The notches wander between the two limits.
turn_wheel() {
    if ((zoomed_in == 0 || (zoomed_in < wheel_notches && RANDOM % 2))); then
        xdotool click 4
        zoomed_in=$((zoomed_in + 1))
    else
        xdotool click 5
        zoomed_in=$((zoomed_in - 1))
    fi
    notches=$((notches + 1))
}

click_somewhere() {
    click_at $((RANDOM % 1024)) $((RANDOM % 768))
    clicks=$((clicks + 1))
}

toggle_buildings() {
    xdotool key 1
    toggles=$((toggles + 1))
    buildings_shown=$((1 - buildings_shown))
}

# The warm-up visits every view and action once (a whole pick, hidden buildings, both zoom
# limits, the camera pushed each way at both), so that even a short run has drawn each.
sweep_camera() {
    local key
    for key in Left Right Right Left Up Down Down Up; do
        xdotool keydown "$key"
        sleep 0.3
        xdotool keyup "$key"
        sleep 0.15
    done
}

# Button 4 zooms in, button 5 out.
turn_wheel_all_the_way() {
    local button=$1 i
    for i in $(seq 1 "$wheel_notches"); do
        xdotool click "$button"
        sleep 0.05
    done
}

warm_up() {
    # The middle of the window shows the city floor in the starting view.
    click_at 512 384
    clicks=$((clicks + 1))
    sleep 4.5
    toggle_buildings
    sleep 0.5
    toggle_buildings
    sweep_camera
    turn_wheel_all_the_way 4
    sweep_camera
    turn_wheel_all_the_way 5
    take_sample
}

# The city leaves the view from the farthest zoom once the eye is this far up the screen; the
# eye starts at z 10.
away_eye_z=-40
start_eye_z=10

latest_eye_z() {
    tail -n 50 "$PROBE_LOG" | awk '$2 == "eye" { z = $5 } END { print z }'
}

# True when the latest eye z compares to $2 as $1 says ("<=" or ">=").
eye_z_is() {
    awk -v z="$(latest_eye_z)" -v op="$1" -v to="$2" \
        'BEGIN { exit !(z != "" && (op == "<=" ? z <= to : z >= to)) }'
}

# hold_until KEY OP Z: holds KEY until the eye's z has reached Z, 20 s at most.
hold_until() {
    local i
    xdotool keydown "$1"
    for i in $(seq 1 200); do
        eye_z_is "$2" "$3" && break
        sleep 0.1
    done
    xdotool keyup "$1"
    eye_z_is "$2" "$3" || fail "holding $1 did not take the camera to z $3 within 20 s (eye z $(latest_eye_z))"
}

# Shows the buildings, zooms all the way out and moves the camera up until no part of the city
# is in view, so that the series start from the same view before and after the play.
leave_the_city() {
    ((buildings_shown)) || toggle_buildings
    turn_wheel_all_the_way 5
    zoomed_in=0
    hold_until Up "<=" "$away_eye_z"
}

return_to_the_city() {
    hold_until Down ">=" "$start_eye_z"
    net_x=0 net_z=0
}

# Each action is judged on its own, repeated with nothing else changing, so that what memory
# gains is what the action costs: the random play changes the view all the time, and the GL
# driver's working memory settles on levels megabytes apart depending on the views drawn. The
# camera is off the city, where a click misses. A few repeats come first, so that what an
# action allocates once does not count.
series_settle=5
max_bytes_per_action=1024
series_report=()
series_ok=true
declare -A bytes_before_play

# The probe's log, as counts of what each kind of action leaves there.
missed_clicks_seen() { pick_passes; }
# A frame without buildings calls one display list, the floor's; the first such frame after
# frames with buildings starts a line "lists 1".
buildings_hidden_seen() { grep -c ' lists 1$' "$PROBE_LOG" || true; }
# Changes of the eye's height, and runs of frames in which the eye moves across.
height_changes_seen() {
    awk '$2 == "eye" { if (seen && $4 != y) n++; y = $4; seen = 1 } END { print n + 0 }' "$PROBE_LOG"
}
sideways_moves_seen() {
    awk '$2 == "eye" { moving = seen && $3 != x; if (moving && !was) n++; was = moving; x = $3; seen = 1 }
         END { print n + 0 }' "$PROBE_LOG"
}

# One repeat of each action, leaving the view as it found it.
miss_click() { xdotool click 1; sleep 0.1; }
toggle_twice() { xdotool key 1; sleep 0.15; xdotool key 1; sleep 0.15; }
wheel_in_and_out() { xdotool click 4; sleep 0.15; xdotool click 5; sleep 0.15; }
hold_left_then_right() {
    local key
    for key in Left Right; do
        xdotool keydown "$key"
        sleep 0.1
        xdotool keyup "$key"
        sleep 0.2
    done
}

# action_series WHEN NAME ACTION REPEATS EVERY ACTIONS_PER_REPEAT SEEN_COUNT SEEN_PER_REPEAT:
# ACTION repeated on its own (memory_series); SEEN_COUNT must grow by SEEN_PER_REPEAT a repeat.
action_series() {
    local when=$1 name=$2 action=$3 repeats=$4 every=$5 per_repeat=$6 seen=$7 seen_per_repeat=$8
    local seen_before i
    seen_before=$($seen)
    for i in $(seq 1 "$series_settle"); do "$action"; done
    memory_series "$action" "$repeats" "$every" "$per_repeat"
    expect_seen "$seen" "$seen_before" $(((series_settle + repeats) * seen_per_repeat)) "$name $when"
    check_alive
    series_report+=("$name $when: $SERIES_SHOWN")
    ((SERIES_BYTES <= max_bytes_per_action)) || series_ok=false
    if [ "$when" = "before the play" ]; then
        bytes_before_play[$name]=$SERIES_BYTES
    elif ((SERIES_BYTES > ${bytes_before_play[$name]} + max_extra_bytes_after_play)); then
        series_report+=("$name costs $SERIES_BYTES B an action after the play, ${bytes_before_play[$name]} B before it")
        series_ok=false
    fi
}

action_series_all() {
    local when=$1 markers_before_series
    markers_before_series=$(markers_drawn)
    xdotool mousemove 512 384
    sleep 0.1
    action_series "$when" "missed clicks" miss_click 30 5 1 missed_clicks_seen 1
    [ "$(markers_drawn)" = "$markers_before_series" ] ||
        fail "a click of the series picked a tile: the camera had not left the city"
    action_series "$when" "building toggles" toggle_twice 12 2 2 buildings_hidden_seen 1
    action_series "$when" "wheel notches" wheel_in_and_out 12 2 2 height_changes_seen 2
    action_series "$when" "arrow holds" hold_left_then_right 12 2 2 sideways_moves_seen 2
}

# The random play is judged by what it leaves behind: each series after it may cost at most
# this much more an action than the same series before it, so that a leak the play's
# combinations of actions set going in the game shows. (How much heap the play itself keeps
# is shown, not judged: the GL driver's working memory moves by hundreds of kB with the
# views the play has drawn.)
max_extra_bytes_after_play=256

# With no input at all nothing new is drawn, so the memory the game holds must stay level: a
# leak in the frame itself shows as a trend, the median of the slopes between samples.
quiet_seconds=30
max_quiet_kb_per_minute=25
quiet_samples=()

idle() {
    local start
    take_reading
    start=$HELD_AT_NS
    quiet_samples+=("0 $HELD_HEAP")
    while ((HELD_AT_NS - start < quiet_seconds * 1000000000)); do
        sleep 2
        take_reading
        quiet_samples+=("$(((HELD_AT_NS - start) / 1000000)) $HELD_HEAP")
    done
    check_alive
}

# kB a minute from the samples' bytes a millisecond.
quiet_trend_kb_per_minute() {
    printf '%s\n' "${quiet_samples[@]}" | median_step_slope |
        awk '{ printf "%.0f\n", $1 * 60000 / 1024 }'
}

# A click every 20 to 40 s: a blast kills about a tenth of the zombies left, so the horde
# outlives a ten-minute run, and a game that ends by itself is a finding, not bad luck.
play() {
    local end=$(($(elapsed) + minutes * 60)) next_sample=$(($(elapsed) + sample_every))
    local next_click=$(($(elapsed) + 5 + RANDOM % 10))
    while (($(elapsed) < end)); do
        if (($(elapsed) >= next_sample)); then
            take_sample
            next_sample=$((next_sample + sample_every))
        fi
        if (($(elapsed) >= next_click)); then
            click_somewhere
            next_click=$(($(elapsed) + 20 + RANDOM % 21))
        fi
        case $((RANDOM % 10)) in
            0 | 1 | 2 | 3 | 4) hold_arrow ;;
            5 | 6 | 7) turn_wheel ;;
            8) toggle_buildings ;;
            9) sleep 0.2 ;;
        esac
        check_alive
        # The game takes one event a frame: input faster than the frame rate would pile up in
        # SDL's queue, and a full queue drops events, key releases among them.
        sleep 0.15
    done
    take_sample
}

quit_with_escape() {
    xdotool keydown Escape
    xdotool keyup Escape
    wait_game_exit 10
    [ "$GAME_STATUS" != "running" ] || fail "Escape did not end the game within 10 s"
    [ "$GAME_STATUS" = "0" ] || fail "Escape ended the game with status $GAME_STATUS"
}

# Prints what the random play did and how resident memory went, which is not judged: the
# driver's levels depend on the views drawn.
report_play() {
    local peak
    peak=$(printf '%s\n' "${samples[@]}" | sort -k2,2n | tail -n1)
    echo "soak: ${#samples[@]} samples of VmRSS over $(elapsed) s (seed $seed), seconds:kB"
    printf '%s\n' "${samples[@]}" | tr ' ' ':' | paste -sd ' ' | fold -s -w 100 | sed 's/^/soak:   /'
    echo "soak: random play: first ${samples[0]#* } kB, peak ${peak#* } kB at ${peak% *} s, last ${samples[-1]#* } kB"
    echo "soak: $clicks clicks, $holds arrow holds, $notches wheel notches, $toggles building toggles"
}

# Prints the series', the play's and the idle time's figures; false when one is over its limit.
judge_memory() {
    local line trend ok=true
    for line in "${series_report[@]}"; do
        echo "soak: series of $line (limit $max_bytes_per_action B)"
    done
    $series_ok || { echo "soak: an action keeps more than $max_bytes_per_action B of heap for good," \
        "or $max_extra_bytes_after_play B more after the play than before it"; ok=false; }
    echo "soak: the heap held $(((heap_after_play - heap_before_play) / 1024)) kB more after the play than before it"
    trend=$(quiet_trend_kb_per_minute)
    echo "soak: idle for $quiet_seconds s, ${#quiet_samples[@]} readings of the heap (ms:kB):"
    printf '%s\n' "${quiet_samples[@]}" | awk '{ printf "%d:%.0f\n", $1, $2 / 1024 }' | paste -sd ' ' |
        fold -s -w 100 | sed 's/^/soak:   /'
    echo "soak: idle trend $trend kB a minute (limit $max_quiet_kb_per_minute kB)"
    ((trend <= max_quiet_kb_per_minute)) ||
        { echo "soak: memory held grows by $trend kB a minute with no input"; ok=false; }
    $ok
}

echo "soak: $minutes min on $SKARNHOLT_GAME_DIR, seed $seed"
start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
take_sample
warm_up
leave_the_city
action_series_all "before the play"
heap_before_play=$HELD_HEAP
return_to_the_city
play
report_play
leave_the_city
take_reading
heap_after_play=$HELD_HEAP
action_series_all "after the play"
idle
memory_ok=true
judge_memory || memory_ok=false
quit_with_escape
$memory_ok || fail "memory: see the figures above (seed $seed)"
echo "soak: PASS"
