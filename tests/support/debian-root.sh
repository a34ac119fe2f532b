# Debian roots for the tests, made with debootstrap once and kept under build/roots: a clean
# minimal root per release, and roots built from it for whole desktops. Commands run inside
# with a mount namespace of their own (so no mount outlives them), a private /dev/shm and /tmp,
# a read-only /sys and the project at the same path as outside. Source it; needs root.
set -uo pipefail

roots_dir=${ZELVO_ROOTS_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/build/roots}
debian_mirror=${ZELVO_DEBIAN_MIRROR:-http://deb.debian.org/debian}

# The clean minimal root of RELEASE (bookworm, trixie), made on first use: prints its path.
debian_base() {
    local release=$1 base=$roots_dir/$1/base
    if [ ! -f "$base/.complete" ]; then
        rm -rf "$base"
        mkdir -p "$(dirname "$base")"
        debootstrap --variant=minbase "$release" "$base" "$debian_mirror" >&2 ||
            { echo "debootstrap of $release failed" >&2; return 1; }
        touch "$base/.complete"
    fi
    echo "$base"
}

# A root NAME of RELEASE, copied from the clean one on first use and kept: prints its path.
debian_kept_root() {
    local release=$1 name=$2 base root=$roots_dir/$1/$2
    if [ ! -f "$root/.complete" ]; then
        base=$(debian_base "$release") || return 1
        rm -rf "$root"
        cp -a "$base" "$root" && touch "$root/.complete" || return 1
    fi
    echo "$root"
}

# Runs COMMAND inside ROOT as root, with a plain environment plus the run's mark and the
# variables named in ZELVO_ROOT_ENV: in_debian_root ROOT COMMAND...
in_debian_root() { (exec_in_debian_root "$@"); }

# The same in place of the calling shell: started with &, $! is then the command's own PID.
exec_in_debian_root() {
    local root=$1 project
    shift
    project=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
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
