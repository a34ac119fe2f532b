#!/usr/bin/env bash
# Installs with apt-get what building and testing Zelvo needs, skipping what is already there,
# on Debian 12 or 13.
# Usage: scripts/setup-deps.sh [run|desktops|test|debian-build]
#   run: building and starting the program; desktops: also its tests on this machine's
#   desktops, and the package checks; test (default): everything scripts/test.sh runs;
#   debian-build: building the Debian packages from debian/ in a clean root, and their tests.
#        scripts/setup-deps.sh --list PURPOSE [RELEASE]
#   prints the packages PURPOSE needs on RELEASE (bookworm, trixie; this machine's by
#   default), one a line, and installs nothing.
#
# A mirror in the middle of a sync serves an index that does not match its Release file:
# apt-get update is tried a few times, and then what counts is whether the packages install.
# The 64-bit packages go in one transaction and must all install. Wine's 32-bit half, which
# only the 32-bit Windows tests use, comes after them on its own: when it cannot be installed,
# one line starting "setup: 32-bit Wine not installed: " gives apt's reason and set-up goes on.
set -euo pipefail

list_only=false
if [ "${1:-}" = --list ]; then
    list_only=true
    shift
fi
purpose=${1:-test}
here=$(cd "$(dirname "$0")" && pwd)
release=${2:-$(. /etc/os-release && echo "${VERSION_CODENAME:-}")}
readonly wine32=wine32:i386

# A field's package names in a debian/ control file, without versions, profiles or our own.
control_field_packages() { # control_field_packages FILE FIELD
    sed -n "/^$2:/,/^[A-Z]/p" "$1" | sed "s/^$2://;/^[A-Z]/d" | tr ',' '\n' |
        sed 's/([^)]*)//;s/<[^>]*>//;s/^ *//;s/ *$//;s/^debhelper-compat$/debhelper/' | grep -v -e '^$' -e '^zelvo' | sort -u
}

packages_for() {
    if [ "$purpose" = debian-build ]; then
        # A clean root that builds the Debian packages from debian/ and runs their
        # autopkgtest: what debian/ names, and Debian's tools.
        local debian=$here/../debian
        control_field_packages "$debian/control" Build-Depends
        control_field_packages "$debian/control" Depends | grep -v '^\$'
        control_field_packages "$debian/tests/control" Depends
        printf '%s\n' build-essential lintian devscripts blhc autopkgtest
        return
    fi
    # Qt 6.5 and later load the X11 platform only with libxcb-cursor0.
    local packages=(cmake g++ make pkg-config qt6-base-dev qt6-wayland libgl-dev libxcb1-dev
                    libxcb-xfixes0-dev libxcb-cursor0 fonts-dejavu-core)
    if [ "$purpose" != run ]; then
        # gdb: a desktop test that fails prints the program's threads' stacks. marco needs the
        # MATE settings daemon's schemas.
        packages+=(libgtest-dev libgmock-dev dbus-daemon xvfb xauth xdotool x11-utils xclip trayer
                   openbox wmctrl xfce4-panel lxqt-panel sway waybar wtype wl-clipboard libglib2.0-bin
                   dbus-bin gnome-shell gnome-shell-extension-appindicator plasma-workspace
                   plasma-desktop-data kwin-x11 imagemagick desktop-file-utils appstream man-db
                   lintian gdb mate-panel marco mate-settings-daemon-common lxpanel gnome-flashback
                   gnome-panel metacity cinnamon xapp-sn-watcher)
        # Plasma's watcher is a kded module; with Plasma 6 come the Qt 6 platform themes of KDE
        # and LXQt that their sessions load, and KWin on Wayland.
        if [ "$release" = bookworm ]; then
            packages+=(kded5)
        else
            packages+=(kded6 kwin-wayland plasma-integration lxqt-qtplugin)
        fi
    fi
    if [ "$purpose" = test ]; then
        # git: scripts/release.sh, which sets up with this list, archives the source with it.
        # debhelper, blhc and devscripts (hardening-check): the Debian packages built and
        # checked as a distribution does. zip: the Windows zip, the same bytes every time.
        packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 dpkg-dev debootstrap wixl
                   msitools fonts-wine file git debhelper blhc devscripts zip)
    fi
    printf '%s\n' "${packages[@]}"
}

if $list_only; then
    packages_for
    exit 0
fi

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
export DEBIAN_FRONTEND=noninteractive

missing=()
while read -r package; do
    installed "$package" || missing+=("$package")
done < <(packages_for)
# 32-bit Windows programs need Wine's i386 half.
need_wine32=false
[ "$purpose" = test ] && ! installed "$wine32" && need_wine32=true
[ ${#missing[@]} -gt 0 ] || $need_wine32 || exit 0

log=$(mktemp)
trap 'rm -f "$log"' EXIT
# apt's reason in one line: its errors, and the first dependency it could not satisfy.
apt_reason() {
    local errors unmet
    errors=$(sed -n 's/^E: //p' "$log" | paste -sd ';' | sed 's/;/; /g')
    unmet=$(grep -m1 ' : Depends: ' "$log" | tr -s ' ' | sed 's/^ //')
    echo "${errors:-apt-get failed}${unmet:+ (the first unmet dependency: $unmet)}"
}

if $need_wine32 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    sudo_if_needed dpkg --add-architecture i386
fi
# A failed index keeps the one downloaded before, if any; a later try may find the mirror
# synced. Whether the packages install is what decides.
for wait in 10 30 0; do
    sudo_if_needed apt-get update -qq >"$log" 2>&1 && break
    if [ "$wait" -eq 0 ]; then
        echo "setup: some package indexes could not be downloaded; going on with those there:" \
            "$(grep '^E: Failed to fetch' "$log" | head -3 | paste -sd ';')"
        break
    fi
    sleep "$wait"
done

if [ ${#missing[@]} -gt 0 ]; then
    if ! sudo_if_needed apt-get install -y -q --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
        echo "setup: apt-get could not install ${missing[*]}:"
        grep -E '^(E: |W: | |The following)' "$log" | tail -40
        exit 1
    fi
fi
if $need_wine32; then
    if ! sudo_if_needed apt-get install -y -q --no-install-recommends "$wine32" >"$log" 2>&1; then
        echo "setup: 32-bit Wine not installed: apt-get install $wine32 failed: $(apt_reason)"
    fi
fi
