# The package on this machine (root only): apt installs it, the installed game starts from an
# empty folder and Escape ends it with 0, its menu files validate, and purging it leaves none of
# its files behind. The package is removed however the test ends. It is the one
# scripts/package.sh builds here, or the file SKARNHOLT_PACKAGE names (one built elsewhere).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/installed.sh"

[ "$(id -u)" -eq 0 ] || skip_test "installing a package needs root"
# Purging at the end would take away a player's own installation.
if dpkg-query -W -f='${Status}' skarnholt 2>/dev/null | grep -q " installed$"; then
    fail "skarnholt is already installed on this machine; remove it first (apt-get purge skarnholt)"
fi

entry=/usr/share/applications/org.skarnholt.skarnholt.desktop
# Another apt run may hold the lock for a while; wait a bounded time for it.
apt_get=(env DEBIAN_FRONTEND=noninteractive apt-get -y -q -o DPkg::Lock::Timeout=120)

purge_package() {
    "${apt_get[@]}" purge skarnholt >"$E2E_TMP/purge.log" 2>&1
}

# Stops the game before the package goes, and the package before the scratch folder does.
clean_up() {
    [ -z "$GAME_PID" ] || kill "$GAME_PID" 2>/dev/null || true
    if dpkg-query -W -f='${Status}' skarnholt 2>/dev/null | grep -q "installed"; then
        purge_package || echo "could not purge skarnholt: $(tail -n 3 "$E2E_TMP/purge.log")" >&2
    fi
    e2e_cleanup
}
trap clean_up EXIT

deb="${SKARNHOLT_PACKAGE:-}"
if [ -z "$deb" ]; then
    deb="$(bash "$SKARNHOLT_SOURCE_DIR/scripts/package.sh" 2>"$E2E_TMP/package.log")" ||
        fail "scripts/package.sh failed: $(tail -n 5 "$E2E_TMP/package.log")"
fi

# The package's paths that are not on the machine yet: all of them must be gone after the purge.
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | sed 's#/$##; /^$/d' >"$E2E_TMP/paths"
: >"$E2E_TMP/new-paths"
while read -r path; do
    [ -e "$path" ] || echo "$path" >>"$E2E_TMP/new-paths"
done <"$E2E_TMP/paths"

"${apt_get[@]}" install "$deb" >"$E2E_TMP/install.log" 2>&1 ||
    fail "apt-get install failed: $(tail -n 5 "$E2E_TMP/install.log")"
[ -x /usr/games/skarnholt ] || fail "no /usr/games/skarnholt after installing"
[ "$(man -w skarnholt)" = /usr/share/man/man6/skarnholt.6.gz ] || fail "man skarnholt finds no page of section 6"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the installed entry"
validate_metainfo /usr/share/metainfo/org.skarnholt.skarnholt.metainfo.xml

start_xvfb
play_installed /usr/games/skarnholt "$E2E_TMP/empty" "$entry"
expect_assets_loaded

purge_package || fail "apt-get purge failed: $(tail -n 5 "$E2E_TMP/purge.log")"
! dpkg-query -W -f='${Status}' skarnholt 2>/dev/null | grep -q "installed" || fail "skarnholt is still installed"
left="$(while read -r path; do [ ! -e "$path" ] || echo "$path"; done <"$E2E_TMP/new-paths")"
[ -z "$left" ] || fail "left behind after the purge: $left"
echo "PASS ($(wc -l <"$E2E_TMP/new-paths") paths installed and purged)"
