#!/usr/bin/env bash
# Plays the real game with random input for a while and watches its memory:
#   scripts/soak.sh [MINUTES] [GAME_DIR]   (default 10 minutes; the game folder defaults to
#   $SKARNHOLT_GAME_DIR, else build/game, built first if missing)
# Fails when the game dies, when a series of 80 clicks with nothing else changing costs more
# than 25 kB a click, when its resident memory settles more than 2 MB higher at the end than
# just after the warm-up, or when Escape does not end it with status 0 within 10 s.
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
max_growth_kb=2048
# A memory level is the lowest sample over this many seconds: the GL driver's short-lived
# buffers (a blast's particles, a pick pass) only make spikes, while a leak lifts the floor.
level_window=20
# Memory is compared from the end of the first minute on (20 s into a one-minute run), well
# after the scripted warm-up.
warmup=60
[ "$minutes" -gt 1 ] || warmup=20

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

# The GL driver keeps its working memory at the high-water mark of the views it has drawn:
# the first full zoom-in alone costs it some 35 MB. So the warm-up visits every view and
# action the random play can reach (a whole pick, hidden buildings, both zoom limits, the
# camera pushed each way at both) before memory is judged.
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

# A series of clicks that miss the city, judged on its own: each runs the pick pass and
# nothing else changes in between, so what memory gains is what a click costs. The random
# play changes the view all the time, and the driver's working memory follows the views
# drawn; a leak would hide in that. The series comes last: reading what the game holds
# hands freed heap pages back, and the play's resident levels would regrow into them.
series_settle=20
series_judged=80
max_kb_per_click=25
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

click_series() {
    local markers_before
    leave_the_city
    markers_before=$(grep -c ' disk 0.400 ' "$PROBE_LOG" || true)
    series_growth=$(miss_click_growth "$series_settle" "$series_judged" 512 384)
    clicks=$((clicks + series_settle + series_judged))
    check_alive
    [ "$(grep -c ' disk 0.400 ' "$PROBE_LOG" || true)" = "$markers_before" ] ||
        fail "a click of the series picked a tile: the camera had not left the city"
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

# Lowest sample taken at FROM seconds or later and before TO seconds.
lowest_between() {
    local from=$1 to=$2 lowest="" sample t kb
    for sample in "${samples[@]}"; do
        read -r t kb <<<"$sample"
        ((t >= from && t < to)) || continue
        [ -n "$lowest" ] && ((kb >= lowest)) || lowest=$kb
    done
    echo "$lowest"
}

# Prints the summary; false when memory settled too much higher after the warm-up.
judge_memory() {
    local last_t=${samples[-1]% *}
    local start_level end_level peak
    start_level=$(lowest_between "$warmup" $((warmup + level_window)))
    end_level=$(lowest_between $((last_t - level_window)) $((last_t + 1)))
    peak=$(printf '%s\n' "${samples[@]}" | sort -k2,2n | tail -n1)
    local growth=$((end_level - start_level))
    echo "soak: ${#samples[@]} samples of VmRSS over $(elapsed) s (seed $seed), seconds:kB"
    printf '%s\n' "${samples[@]}" | tr ' ' ':' | paste -sd ' ' | fold -s -w 100 | sed 's/^/soak:   /'
    echo "soak: first ${samples[0]#* } kB, peak ${peak#* } kB at ${peak% *} s"
    echo "soak: lowest in ${warmup}-$((warmup + level_window)) s $start_level kB," \
        "lowest in the last ${level_window} s $end_level kB"
    echo "soak: growth after warm-up $growth kB (limit $max_growth_kb kB)"
    echo "soak: $clicks clicks, $holds arrow holds, $notches wheel notches, $toggles building toggles"
    ((growth <= max_growth_kb))
}

# Prints the click series' figure; false when a click costs too much.
judge_clicks() {
    local per_click
    per_click=$(per_each "$series_growth" "$series_judged")
    echo "soak: click series: $series_growth kB over $series_judged missed clicks after $series_settle," \
        "$per_click kB a click (limit $max_kb_per_click kB)"
    ((series_growth <= max_kb_per_click * series_judged))
}

echo "soak: $minutes min on $SKARNHOLT_GAME_DIR, seed $seed"
start_xvfb
make_scratch
launch_game SDL_AUDIODRIVER=dummy $(probe_env)
take_sample
warm_up
play
memory_ok=true clicks_ok=true
judge_memory || memory_ok=false
click_series
judge_clicks || clicks_ok=false
quit_with_escape
$clicks_ok || fail "a click costs more than $max_kb_per_click kB of memory for good"
$memory_ok || fail "resident memory settled more than $max_growth_kb kB higher after the warm-up"
echo "soak: PASS"
