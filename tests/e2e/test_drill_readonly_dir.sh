# In a working folder that cannot be written to, the game runs, quits with 0 and leaves the
# folder exactly as it was.
source "$(dirname "$0")/lib.sh"

start_xvfb
make_scratch
trap 'chmod u+w "$SCRATCH" 2>/dev/null; e2e_cleanup' EXIT

# Names, sizes and modification times of everything in the folder.
listing() {
    (cd "$SCRATCH" && find . -mindepth 1 -printf '%p %s %T@\n' | sort)
}

can_write() {
    touch "$SCRATCH/.probe" 2>/dev/null && rm -f "$SCRATCH/.probe"
}

# Root writes through missing write bits; a read-only bind mount in a mount namespace of the
# game's own stops root too. The game is started through a wrapper that sets that up.
read_only_by_mount() {
    unshare -m sh -c 'mount --bind "$1" "$1" && mount -o remount,ro,bind "$1" "$1" && ! touch "$1/.probe"' \
        _ "$SCRATCH" 2>/dev/null || return 1
    local wrapper="$E2E_TMP/read-only-game"
    cat >"$wrapper" <<WRAPPER
#!/usr/bin/env bash
set -euo pipefail
exec unshare -m sh -c 'mount --bind "\$1" "\$1" && mount -o remount,ro,bind "\$1" "\$1" && cd "\$1" && exec "\$2"' \
    _ "$SCRATCH" "$GAME"
WRAPPER
    chmod +x "$wrapper"
    GAME="$wrapper"
}

before=$(listing)
chmod a-w "$SCRATCH"
how="write bits"
if can_write; then
    if read_only_by_mount; then
        how="read-only bind mount"
    else
        # The folder would stay writable: nothing this test is about could be seen.
        skip_test "running as root without mount namespaces, the folder cannot be made read-only"
    fi
fi

launch_game SDL_AUDIODRIVER=dummy $(probe_env)
if [ "$how" = "read-only bind mount" ]; then
    # Field 5 of a mountinfo line is the mount point, field 6 its options.
    awk -v dir="$SCRATCH" '$5 == dir && $6 ~ /^ro(,|$)/ { found = 1 } END { exit !found }' \
        "/proc/$GAME_PID/mountinfo" || fail "the game does not see its folder mounted read-only"
fi
wait_frames 3
click_tile_expecting_marker 12 12
sleep 2.5
wait_frames 2
kill -0 "$GAME_PID" 2>/dev/null || fail "the game died in a read-only folder"
release_escape
wait_game_exit 30
chmod u+w "$SCRATCH"
[ "$GAME_STATUS" = "0" ] || fail "the game ended with status $GAME_STATUS in a read-only folder"

! grep -q "Problem loading" "$E2E_OUT" || fail "a texture could not be read from the read-only folder"
! grep -q "Error reading file" "$E2E_ERR" || fail "the model could not be read from the read-only folder"
[ "$(listing)" = "$before" ] || fail "the game changed its working folder: $(diff <(echo "$before") <(listing) | tail -n 5)"
echo "PASS (read-only through $how)"
