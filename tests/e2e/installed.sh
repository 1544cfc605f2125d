# Helpers of the tests of the installed game, sourced after lib.sh: start it through its
# launcher from a given folder, check what it loaded, and quit it with Escape.

# The class the window of the running game carries, which a menu entry's StartupWMClass names.
window_class() {
    local window
    window="$(game_window)"
    xprop -id "$window" WM_CLASS | sed -E 's/.*"([^"]*)"$/\1/'
}

# Starts LAUNCHER from the empty folder FOLDER (any extra words are NAME=VALUE environment),
# checks that the window's class is the one of the desktop entry DESKTOP_ENTRY, and quits it
# with Escape, expecting status 0: play_installed LAUNCHER FOLDER DESKTOP_ENTRY [NAME=VALUE...]
play_installed() {
    local launcher=$1 folder=$2 entry=$3 class
    shift 3
    GAME="$launcher"
    SCRATCH="$folder"
    mkdir -p "$SCRATCH"
    launch_game SDL_AUDIODRIVER=dummy "$@"
    sleep 1
    class="$(window_class)"
    grep -qxF "StartupWMClass=$class" "$entry" ||
        fail "the window's class '$class' is not the StartupWMClass of the desktop entry"
    quit_expecting_zero "started through $launcher"
    [ -z "$(ls -A "$SCRATCH")" ] || fail "the game wrote into the folder it was started from"
}

# AppStream validates the metainfo $1 strictly. AppStream 0.16 (Debian 12) does not know the
# developer element that 1.0 asks for; that one note, and nothing else, is let through.
validate_metainfo() {
    appstreamcli validate --no-net --strict "$1" >"$E2E_TMP/appstream.log" 2>&1 && return 0
    if grep -E '^[IWEP]:' "$E2E_TMP/appstream.log" | grep -qv ': unknown-tag developer$' ||
        ! grep -q ': unknown-tag developer$' "$E2E_TMP/appstream.log"; then
        fail "appstreamcli rejects the metainfo: $(cat "$E2E_TMP/appstream.log")"
    fi
}

# The game found every asset of its data folder: the model, the floor and the building's texture.
expect_assets_loaded() {
    grep -qx "Loading floor.bmp" "$E2E_OUT" || fail "the installed game did not load floor.bmp"
    ! grep -q "Problem loading" "$E2E_OUT" || fail "the installed game could not load a texture"
    ! grep -q "Error reading file" "$E2E_ERR" || fail "the installed game could not read its model"
}
