# Minimal Debian roots to test in, made by debootstrap and kept between runs; sourced by
# scripts/test-debian13.sh and scripts/test-arch.sh, which define die. Every function needs
# root, and the caller runs in a mount namespace of its own (in_private_mounts), so that the
# mounts go however it ends.

# read_phases KNOWN ARGS...: sets the array phases to the phases named in ARGS (default:
# prepare, build and test), each one of the words of KNOWN.
read_phases() {
    local known=$1 phase
    shift
    phases=("$@")
    [ ${#phases[@]} -gt 0 ] || phases=(prepare build test)
    for phase in "${phases[@]}"; do
        [[ " $known " == *" $phase "* ]] || die "unknown phase '$phase' (${known// /, })"
    done
}

# Runs the calling script ($0) again with arguments $@ in a private mount namespace, unless
# it already runs in one: nothing it mounts outlives it.
in_private_mounts() {
    [ -n "${SKARNHOLT_PRIVATE_MOUNTS:-}" ] ||
        SKARNHOLT_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private bash "$0" "$@"
}

# The first deb URI that this machine's apt sources give for its own release, in either format.
host_mirror() {
    local codename file
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v suite="$codename" '
            function stanza_end() {
                if (types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " suite " ") && enabled != "no") {
                    split(uris, uri, " "); print uri[1]; exit
                }
                types = suites = uris = enabled = ""
            }
            /^[ \t]*$/ { stanza_end(); next }
            /^Types:/ { types = $0; sub(/^Types:[ \t]*/, "", types) }
            /^URIs:/ { uris = $0; sub(/^URIs:[ \t]*/, "", uris) }
            /^Suites:/ { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
            /^Enabled:/ { enabled = $2 }
            END { stanza_end() }' "$file"
    done
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        awk -v suite="$codename" '
            $1 == "deb" {
                i = 2
                if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                if ($(i + 1) == suite) { print $i; exit }
            }' "$file"
    done
}

# True when something is mounted at or under folder $1 (mounted by hand, outside our namespace).
mounted_under() {
    awk -v root="$1/" 'index($2 "/", root) == 1 { found = 1 } END { exit !found }' /proc/mounts
}

# make_root ROOT RELEASE ARCH LOG: a minimal root of Debian RELEASE for ARCH in folder ROOT,
# which must not exist yet; false, with debootstrap's output in LOG, when it cannot be made.
# Packages installed there later must not start services.
make_root() {
    local root=$1 release=$2 arch=$3 log=$4 mirror
    mirror="$(host_mirror | head -n 1)"
    [ -n "$mirror" ] || { echo "no deb mirror for this machine's release in its apt sources" >"$log"; return 1; }
    command -v debootstrap >/dev/null || { echo "no debootstrap (scripts/setup.sh test installs it)" >"$log"; return 1; }
    debootstrap --arch="$arch" --variant=minbase "$release" "$root" "$mirror" >"$log" 2>&1 || return 1
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 0755 "$root/usr/sbin/policy-rc.d"
}

# Deletes root folder $1 unless something is mounted under it from outside this script.
remove_root() {
    ! mounted_under "$1" || { echo "something is mounted under $1: unmount it first" >&2; return 1; }
    rm -rf "$1"
}

# Processes still running in root $1 (a server a test left behind) are ended.
stop_processes_in_root() {
    local proc
    for proc in /proc/[0-9]*; do
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$1" ] && kill -KILL "${proc#/proc/}" 2>/dev/null
    done
    return 0
}

# Mounts what programs in root $1 expect. The root is a mount point of its own, as / is on a
# real machine: tools such as unshare -m (the read-only folder drill) change the propagation
# of / and fail on a plain folder.
mount_root() {
    local root=$1
    mount --bind "$root" "$root"
    mount -t proc proc "$root/proc"
    mount -t sysfs sysfs "$root/sys"
    mount --bind /dev "$root/dev"
    mount --bind /dev/pts "$root/dev/pts"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
}

# in_root ROOT COMMAND_LINE: runs the command line in the root, in /src, with a plain environment.
in_root() {
    chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb DEBIAN_FRONTEND=noninteractive \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "cd /src && $2"
}

# copy_tree REPO FOLDER: a clean copy of the working tree of REPO in FOLDER: tracked files as
# they are now, and new files git does not ignore. The folder itself stays, since it may be
# mounted elsewhere too.
copy_tree() {
    mkdir -p "$2"
    find "$2" -mindepth 1 -maxdepth 1 -exec rm -rf {} +
    (cd "$1" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [ -e "$file" ] && printf '%s\0' "$file"; done |
        tar --null -T - -cf -) | tar -xf - -C "$2"
}
