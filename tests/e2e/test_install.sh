# The installed game: every file in its place, a valid desktop entry, and the launcher starts
# the game with its assets from any working folder, even after the installed tree has moved.
source "$(dirname "$0")/lib.sh"

build_dir="$(dirname "$SKARNHOLT_GAME_DIR")"
installed="$E2E_TMP/moved-prefix"

install_and_move() {
    cmake --install "$build_dir" --prefix "$E2E_TMP/prefix" >"$E2E_TMP/install.log" ||
        fail "cmake --install failed: $(tail -n 3 "$E2E_TMP/install.log")"
    [ -d "$E2E_TMP/prefix" ] || fail "nothing was installed: the build has no install rules"
    mv "$E2E_TMP/prefix" "$installed"
}

check_files() {
    [ -x "$installed/bin/skarnholt" ] || fail "no executable launcher bin/skarnholt"
    [ -x "$installed/share/skarnholt/skarnholt" ] || fail "no game executable in share/skarnholt"
    local asset
    for asset in "$SKARNHOLT_SOURCE_DIR"/assets/game/*; do
        cmp -s "$asset" "$installed/share/skarnholt/$(basename "$asset")" ||
            fail "share/skarnholt/$(basename "$asset") is missing or differs from the source"
    done
}

# Every PNG icon is as large as its folder says, and the scalable one is an SVG.
check_icons() {
    local theme="$installed/share/icons/hicolor" icon size count=0
    [ -f "$theme/scalable/apps/skarnholt.svg" ] || fail "no scalable icon"
    [ "$(file -b --mime-type "$theme/scalable/apps/skarnholt.svg")" = "image/svg+xml" ] ||
        fail "the scalable icon is not an SVG"
    [ "$(identify -format '%wx%h' "$theme/scalable/apps/skarnholt.svg")" = "256x256" ] ||
        fail "the scalable icon does not render at its 256x256 size"
    for icon in "$theme"/*x*/apps/skarnholt.png; do
        size="$(basename "$(dirname "$(dirname "$icon")")")"
        [ "$(identify -format '%m %wx%h' "$icon")" = "PNG $size" ] ||
            fail "$size/apps/skarnholt.png is $(identify -format '%m %wx%h' "$icon")"
        count=$((count + 1))
    done
    [ "$count" -eq 8 ] || fail "$count PNG icons installed, not one for each of 16, 22, 24, 32, 48, 64, 128, 256"
}

# The keys a menu needs, checked by hand; desktop-file-validate checks everything when present.
check_desktop_entry() {
    local entry="$installed/share/applications/skarnholt.desktop" line
    [ "$(head -n 1 "$entry")" = "[Desktop Entry]" ] || fail "the desktop entry lacks its group header"
    for line in "Type=Application" "Name=Skarnholt" "Exec=skarnholt" "Icon=skarnholt" \
                "Categories=Game;ArcadeGame;"; do
        grep -qxF "$line" "$entry" || fail "the desktop entry lacks '$line'"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
    else
        echo "desktop-file-validate not installed: only the required keys were checked"
    fi
}

install_and_move
check_files
check_icons
check_desktop_entry

# Started through the launcher from an empty folder that holds no asset.
start_xvfb
GAME="$installed/bin/skarnholt"
SCRATCH="$E2E_TMP/elsewhere"
mkdir -p "$SCRATCH"
launch_game SDL_AUDIODRIVER=dummy
sleep 1
quit_expecting_zero
grep -qx "Loading floor.bmp" "$E2E_OUT" || fail "the installed game did not load floor.bmp"
! grep -q "Problem loading" "$E2E_OUT" || fail "the installed game could not load a texture"
! grep -q "Error reading file" "$E2E_ERR" || fail "the installed game could not read its model"
[ -z "$(ls -A "$SCRATCH")" ] || fail "the game wrote into the folder it was started from"
echo "PASS"
