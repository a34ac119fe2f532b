#!/usr/bin/env bash
# Installs with apt-get what building and testing Zelvo needs, skipping what is already there,
# on Debian 12 or 13.
# Usage: scripts/setup-deps.sh [run|desktops|test]
#   run: building and starting the program; desktops: also its tests on this machine's
#   desktops, and the package checks; test (default): everything scripts/test.sh runs.
set -euo pipefail
purpose=${1:-test}
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Qt 6.5 and later load the X11 platform only with libxcb-cursor0.
packages=(cmake g++ make pkg-config qt6-base-dev qt6-wayland libgl-dev libxcb1-dev libxcb-xfixes0-dev
          libxcb-cursor0 fonts-dejavu-core)
if [ "$purpose" != run ]; then
    packages+=(libgtest-dev libgmock-dev dbus-daemon xvfb xauth xdotool x11-utils xclip trayer openbox wmctrl
               xfce4-panel lxqt-panel sway waybar wtype wl-clipboard libglib2.0-bin dbus-bin
               gnome-shell gnome-shell-extension-appindicator
               plasma-workspace plasma-desktop-data kwin-x11 imagemagick desktop-file-utils appstream man-db
               lintian)
    # Plasma's watcher is a kded module; with Plasma 6 come the Qt 6 platform themes of KDE and
    # LXQt that their sessions load, and KWin on Wayland.
    if [ "$release" = bookworm ]; then
        packages+=(kded5)
    else
        packages+=(kded6 kwin-wayland plasma-integration lxqt-qtplugin)
    fi
fi
if [ "$purpose" = test ]; then
    # git: scripts/release.sh, which sets up with this list, archives the source with it.
    packages+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 dpkg-dev debootstrap wixl msitools
               fonts-wine file git)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
# 32-bit Windows programs need Wine's i386 half.
need_wine32=false
if [ "$purpose" = test ] && ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    need_wine32=true
fi

if [ ${#missing[@]} -gt 0 ] || $need_wine32; then
    export DEBIAN_FRONTEND=noninteractive
    if $need_wine32; then
        sudo_if_needed dpkg --add-architecture i386
        missing+=(wine32:i386)
    fi
    sudo_if_needed apt-get update -qq
    sudo_if_needed apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
