#!/usr/bin/env bash
# Installs with apt-get what building and testing Zelvo needs, skipping what is already there.
# Usage: scripts/setup-deps.sh [run|test]   (default: test, which installs everything)
set -euo pipefail
purpose=${1:-test}

sudo_if_needed() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

packages=(cmake g++ make pkg-config qt6-base-dev qt6-wayland libgl-dev libxcb1-dev libxcb-xfixes0-dev fonts-dejavu-core)
if [ "$purpose" = test ]; then
    packages+=(libgtest-dev libgmock-dev dbus-daemon xvfb xauth xdotool x11-utils xclip trayer openbox wmctrl
               xfce4-panel lxqt-panel sway waybar wtype wl-clipboard libglib2.0-bin dbus-bin
               gnome-shell gnome-shell-extension-appindicator
               plasma-workspace plasma-desktop-data kded5 kwin-x11
               g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 imagemagick desktop-file-utils appstream man-db dpkg-dev
               lintian debootstrap wixl msitools fonts-wine file)
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
