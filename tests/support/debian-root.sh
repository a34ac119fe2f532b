# Debian roots for the tests, made once per machine and kept in the user's cache: a clean
# minimal root per release (debootstrap), and roots built from it with what scripts/setup-deps.sh
# installs for a purpose. Commands run inside with a mount namespace of their own (so no mount
# outlives them), a private /dev/shm and /tmp, a read-only /sys and the project at the same
# path as outside. Source it; needs root.
set -uo pipefail

roots_dir=${ZELVO_ROOTS_DIR:-${XDG_CACHE_HOME:-${HOME:-/root}/.cache}/zelvo/roots}
debian_mirror=${ZELVO_DEBIAN_MIRROR:-http://deb.debian.org/debian}
debian_project=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# The root of RELEASE (bookworm, trixie) for PURPOSE: "base", debootstrap's minimal system, or
# a purpose of setup-deps.sh with its packages installed on a copy of the base. Prints its
# path, and says on standard error whether it was made now or reused.
#
# A root is named by its release and a digest of its package list: a changed list makes a new
# root, and the old one of that purpose goes. It is made in a temporary folder and renamed
# only once complete, under a lock, so that a run killed half-way, or one beside it, never
# takes a half-made root; what a killed run left is removed at the next making.
debian_root() {
    local release=$1 purpose=$2 packages key root lock status=0
    if [ "$purpose" = base ]; then
        packages="debootstrap --variant=minbase $debian_mirror"
    else
        packages=$("$debian_project/scripts/setup-deps.sh" --list "$purpose" "$release") || return 1
    fi
    key=$(sha256sum <<<"$packages" | cut -c1-12)
    root=$roots_dir/$release-$purpose-$key
    mkdir -p "$roots_dir"
    if [ ! -d "$root" ]; then
        lock=$roots_dir/.$release-$purpose.lock
        (
            flock 9
            [ -d "$root" ] && exit 0
            local started=$SECONDS
            find "$roots_dir" -maxdepth 1 -name "$release-$purpose-*.making" \
                -exec rm -rf --one-file-system {} +
            debian_make_root "$release" "$purpose" "$root.making" || exit 1
            mv "$root.making" "$root" || exit 1
            find "$roots_dir" -maxdepth 1 -name "$release-$purpose-*" ! -path "$root" \
                -exec rm -rf --one-file-system {} +
            echo "Debian root $release-$purpose-$key: made in $((SECONDS - started)) s" >&2
        ) 9>"$lock" || status=1
        [ "$status" -eq 0 ] || { echo "Debian root $release-$purpose-$key: making it failed" >&2; return 1; }
    else
        echo "Debian root $release-$purpose-$key: reused" >&2
    fi
    echo "$root"
}

debian_make_root() { # debian_make_root RELEASE PURPOSE FOLDER
    local release=$1 purpose=$2 folder=$3 base
    if [ "$purpose" = base ]; then
        debootstrap --variant=minbase "$release" "$folder" "$debian_mirror" >"$folder.log" 2>&1 || {
            echo "debootstrap of $release failed:" >&2
            tail -n 20 "$folder.log" >&2
            rm -f "$folder.log"
            return 1
        }
        rm -f "$folder.log"
        return 0
    fi
    base=$(debian_root "$release" base) || return 1
    cp -a "$base" "$folder" && in_debian_root "$folder" "$debian_project/scripts/setup-deps.sh" "$purpose"
}

# Runs COMMAND inside ROOT as root, with a plain environment plus the run's mark and the
# variables named in ZELVO_ROOT_ENV: in_debian_root ROOT COMMAND...
in_debian_root() { (exec_in_debian_root "$@"); }

# The same in place of the calling shell: started with &, $! is then the command's own PID.
exec_in_debian_root() {
    local root=$1 project=$debian_project
    shift
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    local -a pass=(PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb
                   DEBIAN_FRONTEND=noninteractive ZELVO_TEST_RUN="${ZELVO_TEST_RUN:-}")
    local name
    for name in ${ZELVO_ROOT_ENV:-}; do
        [ -n "${!name+set}" ] && pass+=("$name=${!name}")
    done
    exec unshare --mount --propagation private bash -c '
        root=$1 project=$2
        shift 2
        mount -t proc proc "$root/proc" &&
            mount --rbind /dev "$root/dev" &&
            mount -t tmpfs -o mode=1777 shm "$root/dev/shm" &&
            mount --rbind /sys "$root/sys" && mount -o remount,bind,ro "$root/sys" &&
            mount -t tmpfs -o mode=1777 tmp "$root/tmp" &&
            mkdir -p "$root$project" && mount --bind "$project" "$root$project" || exit 1
        exec chroot "$root" env -i "$@"' bash "$root" "$project" "${pass[@]}" "$@"
}
