# The game installed under a prefix other than /usr: Debian's games layout, a valid menu
# entry, metainfo, manual page and icons, and a launcher that starts the game with its assets
# from any folder, even after the installed tree has moved, or from the folder SKARNHOLT_DATA names.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed.sh"

build_dir="$(dirname "$SKARNHOLT_GAME_DIR")"
prefix="$E2E_TMP/prefix"
installed="$E2E_TMP/moved-prefix"
app_id="org.skarnholt.skarnholt"
entry="$installed/share/applications/$app_id.desktop"
data="$installed/share/games/skarnholt"

install_and_move() {
    cmake --install "$build_dir" --prefix "$prefix" >"$E2E_TMP/install.log" ||
        fail "cmake --install failed: $(tail -n 3 "$E2E_TMP/install.log")"
    [ -d "$prefix" ] || fail "nothing was installed: the build has no install rules"
    mv "$prefix" "$installed"
}

# Launcher in games/, the game in lib/games/, the assets in share/games/, no program under share/.
check_layout() {
    [ "$(ls "$installed" | tr '\n' ' ')" = "games lib share " ] ||
        fail "the prefix holds $(ls "$installed" | tr '\n' ' '), not games, lib and share"
    [ -x "$installed/games/skarnholt" ] || fail "no executable launcher games/skarnholt"
    [ "$(file -b --mime-type "$installed/lib/games/skarnholt/skarnholt")" = "application/x-pie-executable" ] ||
        fail "lib/games/skarnholt/skarnholt is not the game's executable"
    local asset elf
    for asset in "$SKARNHOLT_SOURCE_DIR"/assets/game/*; do
        cmp -s "$asset" "$data/$(basename "$asset")" ||
            fail "share/games/skarnholt/$(basename "$asset") is missing or differs from the source"
    done
    elf="$(find "$installed/share" -type f -exec file -b --mime-type {} + | grep -c executable || true)"
    [ "$elf" -eq 0 ] || fail "$elf program files lie under share/"
    for asset in "share/metainfo/$app_id.metainfo.xml" share/man/man6/skarnholt.6.gz \
                 share/doc/skarnholt/copyright share/doc/skarnholt/changelog.gz; do
        [ -f "$installed/$asset" ] || fail "no $asset"
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

# The entry names the launcher where it was installed, and the icon the theme holds.
check_desktop_entry() {
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
    local line
    for line in "Exec=$prefix/games/skarnholt" "Icon=skarnholt" "Categories=Game;ArcadeGame;"; do
        grep -qxF "$line" "$entry" || fail "the desktop entry lacks '$line'"
    done
    grep -q "^Keywords=." "$entry" || fail "the desktop entry has no keywords"
}

check_metainfo() {
    local metainfo="$installed/share/metainfo/$app_id.metainfo.xml"
    validate_metainfo "$metainfo"
    grep -qF "<launchable type=\"desktop-id\">$(basename "$entry")</launchable>" "$metainfo" ||
        fail "the metainfo does not launch the installed desktop entry"
}

# The page renders with no warning, and names every asset and the environment the game reads.
check_manual_page() {
    local page="$installed/share/man/man6/skarnholt.6.gz" asset word
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>"$E2E_TMP/man.err" >/dev/null ||
        fail "man cannot render the manual page"
    [ ! -s "$E2E_TMP/man.err" ] || fail "the manual page renders with warnings: $(cat "$E2E_TMP/man.err")"
    MANWIDTH=200 man -l "$page" 2>/dev/null >"$E2E_TMP/man.txt"
    for asset in "$SKARNHOLT_SOURCE_DIR"/assets/game/*; do
        word="$(basename "$asset")"
        case "$word" in explosion-0[2-4].wav) continue ;; esac   # named as a range from 01
        grep -qF "$word" "$E2E_TMP/man.txt" || fail "the manual page does not name $word"
    done
    for word in SKARNHOLT_DATA SDL_AUDIODRIVER SDL_VIDEODRIVER "EXIT STATUS"; do
        grep -qF "$word" "$E2E_TMP/man.txt" || fail "the manual page does not mention $word"
    done
}

# A data folder that SKARNHOLT_DATA names is the one the game starts from; a missing one is
# refused before any window opens.
check_data_override() {
    local other="$E2E_TMP/other-data"
    cp -r "$data" "$other"
    rm "$other/floor.bmp"
    play_installed "$installed/games/skarnholt" "$E2E_TMP/empty-2" "$entry" "SKARNHOLT_DATA=$other"
    grep -qx "Problem loading floor.bmp" "$E2E_OUT" ||
        fail "the game did not start from the folder SKARNHOLT_DATA names"

    # A launcher that started the game after all is stopped after 30 s (status 124).
    local status=0
    SKARNHOLT_DATA="$E2E_TMP/no-such-folder" timeout -k 5 30 "$installed/games/skarnholt" \
        >/dev/null 2>"$E2E_TMP/refused" || status=$?
    [ "$status" -eq 1 ] || fail "a missing data folder gave status $status, not 1"
    grep -qF "no-such-folder" "$E2E_TMP/refused" || fail "the launcher did not name the missing data folder"
}

install_and_move
check_layout
check_icons
check_desktop_entry
check_metainfo
check_manual_page

start_xvfb
play_installed "$installed/games/skarnholt" "$E2E_TMP/empty" "$entry"
expect_assets_loaded
check_data_override
echo "PASS"
