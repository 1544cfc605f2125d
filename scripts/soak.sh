#!/usr/bin/env bash
# Plays the real game with random input for a while, then judges what its memory does:
#   scripts/soak.sh [MINUTES] [GAME_DIR]   (default 10 minutes of random play; the game folder
#   defaults to $SKARNHOLT_GAME_DIR, else build/game, built first if missing)
# After the random play the camera leaves the city, and each action is repeated on its own with
# nothing else changing: clicks that miss, toggles of the buildings, wheel notches in and out,
# arrow holds left and right. A series fails when an action costs more than 25 kB for good, or
# when the probe's log does not show every action arriving. Last, the game idles for a minute
# without input; it fails when memory held trends up by more than 512 kB a minute. It also
# fails when the game dies, or when Escape does not end it with status 0 within 10 s.
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

# The city leaves the view from the farthest zoom once the eye is this far up the screen.
away_eye_z=-40

latest_eye_z() {
    tail -n 50 "$PROBE_LOG" | awk '$2 == "eye" { z = $5 } END { print z }'
}

camera_away() {
    awk -v z="$(latest_eye_z)" -v away="$away_eye_z" 'BEGIN { exit !(z != "" && z <= away) }'
}

# Zooms all the way out and holds Up until no part of the city is in view.
leave_the_city() {
    local i
    turn_wheel_all_the_way 5
    xdotool keydown Up
    for i in $(seq 1 200); do
        camera_away && break
        sleep 0.1
    done
    xdotool keyup Up
    camera_away || fail "the camera did not leave the city within 20 s (eye z $(latest_eye_z))"
}

# Each action is judged on its own, repeated with nothing else changing, so that what memory
# gains is what the action costs. The random play changes the view all the time, and the GL
# driver's working memory settles on levels tens of MB apart depending on the views drawn; a
# leak would hide in that. Reading what the game holds hands freed heap pages back, so the
# series come after the random play. The camera is off the city, where a click misses.
series_settle=10
series_judged=40
max_kb_per_action=25
series_report=()
series_ok=true

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

# action_series NAME ACTION ACTIONS_PER_REPEAT SEEN_COUNT SEEN_PER_REPEAT [SETTLE JUDGED]
# Memory held after SETTLE repeats of ACTION, and after JUDGED more: the difference, per
# action, must stay within the limit. SEEN_COUNT must have grown by SEEN_PER_REPEAT a repeat.
action_series() {
    local name=$1 action=$2 per_repeat=$3 seen=$4 seen_per_repeat=$5
    local settle=${6:-$series_settle} judged=${7:-$series_judged} seen_before settled grown i
    seen_before=$($seen)
    for i in $(seq 1 "$settle"); do "$action"; done
    sleep 0.5
    settled=$(held_kb_typical)
    for i in $(seq 1 "$judged"); do "$action"; done
    sleep 0.5
    expect_seen "$seen" "$seen_before" $(((settle + judged) * seen_per_repeat)) "$name"
    grown=$(($(held_kb_typical) - settled))
    check_alive
    local actions=$((judged * per_repeat))
    series_report+=("$name: $grown kB over $actions after $((settle * per_repeat)), $(per_each "$grown" "$actions") kB each")
    ((grown <= max_kb_per_action * actions)) || series_ok=false
}

action_series_all() {
    local markers_before_series
    leave_the_city
    markers_before_series=$(markers_drawn)
    xdotool mousemove 512 384
    sleep 0.1
    action_series "missed clicks" miss_click 1 missed_clicks_seen 1 20 80
    [ "$(markers_drawn)" = "$markers_before_series" ] ||
        fail "a click of the series picked a tile: the camera had not left the city"
    action_series "building toggles" toggle_twice 2 buildings_hidden_seen 1
    action_series "wheel notches" wheel_in_and_out 2 height_changes_seen 2
    action_series "arrow holds" hold_left_then_right 2 sideways_moves_seen 2
}

# With no input at all nothing new is drawn, so the memory the game holds must stay level: a
# leak in the frame itself shows as a trend. The trend is the median of the slopes between
# every two samples, which a single odd sample does not move.
quiet_seconds=60
max_quiet_kb_per_minute=512
quiet_samples=()

idle() {
    local start now
    start=$(now_ns)
    while now=$(now_ns); ((now - start < quiet_seconds * 1000000000)); do
        quiet_samples+=("$(((now - start) / 1000000)) $(held_kb_typical)")
        sleep 0.5
    done
    check_alive
}

quiet_trend_kb_per_minute() {
    printf '%s\n' "${quiet_samples[@]}" |
        awk '{ t[NR] = $1; m[NR] = $2 }
             END { for (i = 1; i <= NR; i++) for (j = i + 1; j <= NR; j++)
                       printf "%.1f\n", (m[j] - m[i]) * 60000 / (t[j] - t[i]) }' |
        sort -g | awk '{ v[NR] = $1 } END { printf "%.0f\n", (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
}

# A click every 20 to 40 s: a blast kills about a tenth of the zombies left, so the horde
# outlives a ten-minute run, and a game that ends by itself is a finding, not bad luck.
play() {
    local end=$((minutes * 60)) next_sample=$(($(elapsed) + sample_every))
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

# Prints what the random play did and how its memory went, which is not judged: the driver's
# levels depend on the views drawn.
report_play() {
    local peak
    peak=$(printf '%s\n' "${samples[@]}" | sort -k2,2n | tail -n1)
    echo "soak: ${#samples[@]} samples of VmRSS over $(elapsed) s (seed $seed), seconds:kB"
    printf '%s\n' "${samples[@]}" | tr ' ' ':' | paste -sd ' ' | fold -s -w 100 | sed 's/^/soak:   /'
    echo "soak: random play: first ${samples[0]#* } kB, peak ${peak#* } kB at ${peak% *} s, last ${samples[-1]#* } kB"
    echo "soak: $clicks clicks, $holds arrow holds, $notches wheel notches, $toggles building toggles"
}

# Prints the series' and the idle minute's figures; false when one is over its limit.
judge_memory() {
    local line trend
    for line in "${series_report[@]}"; do
        echo "soak: series of $line (limit $max_kb_per_action kB)"
    done
    trend=$(quiet_trend_kb_per_minute)
    echo "soak: idle for $quiet_seconds s, ${#quiet_samples[@]} samples of memory held (ms:kB):"
    printf '%s\n' "${quiet_samples[@]}" | tr ' ' ':' | paste -sd ' ' | fold -s -w 100 | sed 's/^/soak:   /'
    echo "soak: idle trend $trend kB a minute (limit $max_quiet_kb_per_minute kB)"
    $series_ok || { echo "soak: an action costs more than $max_kb_per_action kB of memory for good"; return 1; }
    ((trend <= max_quiet_kb_per_minute)) ||
        { echo "soak: memory held grows by $trend kB a minute with no input"; return 1; }
}

echo "soak: $minutes min on $SKARNHOLT_GAME_DIR, seed $seed"
start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
take_sample
warm_up
play
report_play
action_series_all
idle
memory_ok=true
judge_memory || memory_ok=false
quit_with_escape
$memory_ok || fail "memory: see the figures above (seed $seed)"
echo "soak: PASS"
