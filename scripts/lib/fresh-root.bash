# Fresh Debian roots for scripts/release-check and scripts/fresh-check;
# sourced, not run. Needs root (debootstrap, mount, chroot) and the network.
#
# A minimal base of each release (debootstrap --variant=minbase) is kept in
# $TESSALINE_CACHE (default /var/cache/tessaline), remade when it is missing,
# unfinished or older than $TESSALINE_BASE_DAYS days (default 7), so that a
# check starts from a Debian no older than that without paying for
# debootstrap each time. Every root is a new copy of that base: nothing a
# check installs survives it. Only the .debs apt downloaded are kept between
# runs, in $TESSALINE_CACHE/RELEASE-debs, hard-linked into each root's apt
# cache and back, so no two roots share a file apt writes.

source "$(dirname "${BASH_SOURCE[0]}")/failed-tests.bash"

cache=${TESSALINE_CACHE:-/var/cache/tessaline}
base_days=${TESSALINE_BASE_DAYS:-7}
# Roots live on the same file system as the cache, for the hard links.
scratch=$cache/roots

say() { printf '%s %s\n' "$(date +%T)" "$*"; }
fail() { echo "${0##*/}: $*" >&2; exit 1; }

need_root_and_tools() {
    [ "$(id -u)" -eq 0 ] || fail "run it as root: it uses debootstrap, mount and chroot"
    command -v debootstrap >/dev/null && command -v unshare >/dev/null || {
        apt-get update -q
        DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends debootstrap util-linux
    }
    mkdir -p "$scratch"
}

# The archive and security mirrors apt on this machine uses for Debian; the
# roots use the same ones, for their own release.
mirrors() {
    local targets
    targets=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Created-By: Packages' 'Origin: Debian' \
        | sort -u)
    mirror=$(awk '$2 !~ /-(security|updates|backports)$/ { print $1; exit }' <<<"$targets")
    security=$(awk '$2 ~ /-security$/ { print $1; exit }' <<<"$targets")
    [ -n "$mirror" ] || fail "apt on this machine uses no Debian mirror"
    mirror=${mirror%/}
    security=${security%/}
}

sources_list() {  # sources_list RELEASE
    echo "deb $mirror $1 main"
    echo "deb $mirror $1-updates main"
    [ -z "$security" ] || echo "deb $security $1-security main"
}

# base RELEASE: makes sure $cache/RELEASE-base is a finished debootstrap of
# RELEASE younger than $base_days days; its stamp file says when it was made.
# Call it with the release's lock held.
base() {
    local release=$1 dir=$cache/$1-base stamp=$cache/$1-base.made
    if [ -f "$stamp" ] && [ -d "$dir" ] && [ -z "$(find "$stamp" -mtime +"$((base_days - 1))")" ]; then
        say "base: $dir, made $(cat "$stamp")"
        return
    fi
    local new started=$SECONDS
    # What an interrupted debootstrap left; its mounts went with its namespace.
    rm -rf --one-file-system "$cache/.$release-base."*
    new=$(mktemp -d "$cache/.$release-base.XXXXXX")
    chmod 755 "$new"
    mkdir -p "$cache/$release-debs"
    say "debootstrap --variant=minbase $release from $mirror (log: $new.log)"
    unshare --mount --propagation private debootstrap --variant=minbase --cache-dir="$cache/$release-debs" \
        "$release" "$new" "$mirror" >"$new.log" 2>&1 \
        || { tail -n 20 "$new.log" >&2; rm -rf --one-file-system "$new"; fail "debootstrap of $release failed"; }
    sources_list "$release" >"$new/etc/apt/sources.list"
    # debootstrap kept its .debs in the cache; the base holds none.
    find "$new/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -delete
    rm -f "$stamp"
    rm -rf --one-file-system "$dir"
    mv "$new" "$dir"
    rm -f "$new.log"
    date -u '+%F %T UTC' >"$stamp"
    say "debootstrap took $((SECONDS - started)) s"
}

# fresh_root RELEASE: sets root to a new folder under $scratch holding a fresh
# copy of the release's base. The copy is taken under the release's lock so
# that no other check remakes the base meanwhile. remove_roots removes it.
roots=()
fresh_root() {
    local release=$1
    mirrors
    root=$(mktemp -d "$scratch/$release.XXXXXX")
    roots+=("$release:$root")
    (
        flock 9
        base "$release"
        started=$SECONDS
        cp -a "$cache/$release-base/." "$root/"
        chmod 755 "$root"  # it is /, where every user goes; mktemp made it 0700
        say "copied the base into $root in $((SECONDS - started)) s"
    ) 9>"$cache/$release.lock" || exit 1
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # The cached .debs, as hard links that apt may delete or replace at will.
    find "$cache/$release-debs" -maxdepth 1 -name '*.deb' -exec ln -t "$root/var/cache/apt/archives" {} +
}

# keep_debs RELEASE ROOT: hard-links what apt downloaded into ROOT back into
# the cache, and drops from the cache every .deb of which it holds a newer
# version of the same package.
keep_debs() {
    local release=$1 root=$2 debs=$cache/$1-debs
    [ -d "$root/var/cache/apt/archives" ] || return 0
    (
        flock 9
        find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -links 1 -exec cp -ln -t "$debs" {} + 2>/dev/null
        local file name version last_name="" last_version="" last_file=""
        # File names sort by package; versions are compared by dpkg.
        while read -r name version file; do
            if [ "$name" = "$last_name" ]; then
                if dpkg --compare-versions "$version" gt "$last_version"; then
                    rm -f "$last_file"
                else
                    rm -f "$file"
                    continue
                fi
            fi
            last_name=$name last_version=$version last_file=$file
        done < <(find "$debs" -maxdepth 1 -name '*_*_*.deb' -printf '%f\n' | sort \
            | sed -E 's/^([^_]+)_([^_]+)_[^_]+\.deb$/\1 \2 &/' \
            | while read -r name version file; do
                printf '%s %s %s\n' "$name" "${version//%3a/:}" "$debs/$file"
            done)
    ) 9>"$cache/$release.lock"
}

# remove_roots [--keep]: keeps the .debs apt downloaded into every root
# fresh_root made, and removes the roots (or names them, with --keep).
# in_root's mounts live in namespaces of their own, so none is left in them.
remove_roots() {
    local entry release root status=0
    for entry in "${roots[@]}"; do
        release=${entry%%:*} root=${entry#*:}
        keep_debs "$release" "$root" || true
        if [ "${1:-}" = --keep ]; then
            echo "kept $root"
        elif findmnt -rn -o TARGET | grep -qF "$root/"; then
            echo "${0##*/}: $root still has mounts; leaving it" >&2
            status=1
        else
            rm -rf --one-file-system "$root"
        fi
    done
    roots=()
    return "$status"
}

# in_root ROOT COMMAND: runs COMMAND with bash in ROOT with a clean
# environment. Its own mount and PID namespaces hold proc, sys and dev and
# every process it starts: when it ends, or is interrupted, they all go.
# With compile_cache set to a folder here, that folder is the root's ccache
# cache (/root/.cache/ccache), kept from one root to the next.
in_root() {
    local root=$1
    shift
    unshare --mount --pid --fork --kill-child --propagation private /bin/bash -c '
        root=$1
        compile_cache=$2
        shift 2
        mount -t proc proc "$root/proc"
        mount -t sysfs sys "$root/sys"
        mount --rbind /dev "$root/dev"
        if [ -n "$compile_cache" ]; then
            mkdir -p "$root/root/.cache/ccache"
            mount --bind "$compile_cache" "$root/root/.cache/ccache"
        fi
        exec chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
            PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
            SOURCE_DATE_EPOCH="$SOURCE_DATE_EPOCH" /bin/bash -c "$*"
    ' in_root "$root" "${compile_cache:-}" "$@"
}

# copy_checkout ROOT DIR: the checkout's files, committed or not, without
# build output, into ROOT/DIR.
copy_checkout() {
    local target=$1/$2
    mkdir -p "$target"
    git ls-files -z --cached --others --exclude-standard --deduplicate \
        | while IFS= read -r -d '' file; do [ -e "$file" ] || [ -L "$file" ] && printf '%s\0' "$file"; done \
        | xargs -0 cp -a --parents -t "$target"
}

packages_in() {  # packages_in ROOT: how many packages are installed there
    in_root "$1" "dpkg-query -f '.\n' -W" | wc -l
}

# test_in_root RELEASE ROOT LOG: copies the checkout into ROOT/src and runs
# scripts/test there (with TESSALINE_SKIP_TESTS from here), its log into
# LOG; shows the steps as they start and end and, on failure, what failed,
# and fails.
test_in_root() {
    local release=$1 root=$2 log=$3 base_packages started=$SECONDS
    base_packages=$(packages_in "$root")
    copy_checkout "$root" src
    say "scripts/test in a fresh $release of $base_packages packages (log: $log)"
    local compile_cache=$cache/$release-ccache
    mkdir -p "$compile_cache"
    if ! in_root "$root" "cd /src && TESSALINE_SKIP_TESTS='${TESSALINE_SKIP_TESTS:-}' scripts/test" 2>&1 | tee "$log" | grep --line-buffered '^== '; then
        echo "---- what failed in the fresh $release ($log):" >&2
        failed_tests "$log" >&2
        fail "scripts/test failed in a fresh $release"
    fi
    test_seconds=$((SECONDS - started))
    test_packages=$(($(packages_in "$root") - base_packages))
    say "scripts/test passed in a fresh $release in $test_seconds s; it installed $test_packages packages"
}
