# The Debian package: it builds; its fields say what it is and name every library and run-time
# piece the game needs; it holds the stripped game with Debian's owners and permissions, the
# compressed changelog and the copyright file; its versions agree; lintian finds nothing wrong;
# a second build from a copy of the source in another folder, with other file times, later,
# gives the same bytes.
source "$(dirname "$0")/lib.sh"

build_dir="$(dirname "$SKARNHOLT_GAME_DIR")"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")"
tree="$E2E_TMP/tree"

deb="$(bash "$SKARNHOLT_SOURCE_DIR/scripts/package.sh" 2>"$E2E_TMP/package.log")" ||
    fail "scripts/package.sh failed: $(tail -n 5 "$E2E_TMP/package.log")"
[ -f "$deb" ] || fail "scripts/package.sh named no package file"

# The package names in the Depends field, without versions and alternatives marks.
depended_packages() {
    dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed -E 's/\(.*\)//; s/ //g' | sed '/^$/d'
}

check_fields() {
    local name expected
    for name in Package=skarnholt Section=games Version="$version" \
                Architecture="$(dpkg --print-architecture)"; do
        expected="${name#*=}"
        [ "$(dpkg-deb -f "$deb" "${name%%=*}")" = "$expected" ] ||
            fail "the ${name%%=*} field is '$(dpkg-deb -f "$deb" "${name%%=*}")', not '$expected'"
    done
    depended_packages >"$E2E_TMP/depends"
    # The libraries the game links (SDL 1.2, SDL_mixer 1.2, GL, GLU, fontconfig, FreeType),
    # then what it opens at run time: the GL driver, MP3 decoding and the text line's font.
    for name in libsdl1.2debian libsdl-mixer1.2 libgl1 libglu1-mesa libfontconfig1 libfreetype6 \
                libgl1-mesa-dri libmad0 fonts-dejavu-core; do
        grep -qx "$name" "$E2E_TMP/depends" ||
            fail "Depends does not name $name: $(dpkg-deb -f "$deb" Depends)"
    done
}

# Owned by root; programs and folders 0755, every other file 0644; the game stripped.
check_contents() {
    dpkg-deb -c "$deb" >"$E2E_TMP/listing"
    local wrong
    wrong="$(awk '$2 != "root/root" { print $6 }' "$E2E_TMP/listing")"
    [ -z "$wrong" ] || fail "not owned by root: $wrong"
    wrong="$(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print $6 }
                  $1 ~ /^-/ && $1 != "-rw-r--r--" && $6 !~ /^\.\/usr\/(games|lib\/games\/skarnholt)\/skarnholt$/ { print $6 }
                  $1 ~ /^-/ && $1 != "-rwxr-xr-x" && $6 ~ /^\.\/usr\/(games|lib\/games\/skarnholt)\/skarnholt$/ { print $6 }' \
                 "$E2E_TMP/listing")"
    [ -z "$wrong" ] || fail "with permissions Debian does not use: $wrong"
    dpkg-deb -x "$deb" "$tree"
    file -b "$tree/usr/lib/games/skarnholt/skarnholt" | grep -q ", stripped" ||
        fail "the game is not stripped"
}

# The changelog is gzip-compressed and Debian's format; the copyright file is machine-readable
# and carries the text of LICENSE.
check_documents() {
    local doc="$tree/usr/share/doc/skarnholt"
    gzip -t "$doc/changelog.gz" || fail "changelog.gz is not a gzip file"
    gzip -dc "$doc/changelog.gz" >"$E2E_TMP/changelog"
    dpkg-parsechangelog -l "$E2E_TMP/changelog" >/dev/null 2>&1 || fail "the changelog is not in Debian's format"
    head -n 1 "$doc/copyright" | grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
        fail "the copyright file is not machine-readable"
    sed -n '/^Permission/,$p' "$SKARNHOLT_SOURCE_DIR/LICENSE" >"$E2E_TMP/licence"
    sed -n '/^ Permission/,$p' "$doc/copyright" | sed 's/^ //; s/^\.$//' | diff -q "$E2E_TMP/licence" - >/dev/null ||
        fail "the copyright file's licence text differs from LICENSE"
}

# A new version must be named alike in the changelog, the metainfo's release and the manual page.
check_versions() {
    dpkg-parsechangelog -l "$E2E_TMP/changelog" -S Version | grep -qx "$version" ||
        fail "the changelog's last entry is not version $version"
    grep -qF "<release version=\"$version\"" "$tree/usr/share/metainfo/org.skarnholt.skarnholt.metainfo.xml" ||
        fail "the metainfo names no release $version"
    gzip -dc "$tree/usr/share/man/man6/skarnholt.6.gz" | grep -q "^\.TH SKARNHOLT 6 .* \"Skarnholt $version\"" ||
        fail "the manual page is not of version $version"
}

check_lintian() {
    lintian --fail-on error,warning "$deb" >"$E2E_TMP/lintian" 2>&1 ||
        fail "lintian: $(grep -E '^[EW]:' "$E2E_TMP/lintian" || cat "$E2E_TMP/lintian")"
    ! grep -qE '^[EW]:' "$E2E_TMP/lintian" || fail "lintian: $(grep -E '^[EW]:' "$E2E_TMP/lintian")"
}

# The source copied into a folder of another name, every file with another modification time
# (as a fresh checkout has), and built again, seconds later at least.
check_reproducible() {
    local copy="$E2E_TMP/another checkout/skarnholt-copy" again
    mkdir -p "$copy"
    tar -C "$SKARNHOLT_SOURCE_DIR" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . |
        tar -xf - -C "$copy"
    find "$copy" -exec touch -h -d "2001-02-03 04:05:06" {} +
    sleep 1
    again="$(bash "$copy/scripts/package.sh" 2>"$E2E_TMP/package-again.log")" ||
        fail "the second build failed: $(tail -n 5 "$E2E_TMP/package-again.log")"
    cmp "$deb" "$again" >"$E2E_TMP/cmp" 2>&1 || {
        dpkg-deb -c "$deb" >"$E2E_TMP/listing-1"
        dpkg-deb -c "$again" >"$E2E_TMP/listing-2"
        fail "two builds of the same source differ: $(cat "$E2E_TMP/cmp");" \
            "listings: $(diff "$E2E_TMP/listing-1" "$E2E_TMP/listing-2" | head -n 6)"
    }
}

check_fields
check_contents
check_documents
check_versions
check_lintian
check_reproducible
echo "PASS ($(basename "$deb"), $(stat -c %s "$deb") bytes; Depends: $(dpkg-deb -f "$deb" Depends))"
