#!/usr/bin/env bash
# Installs the Debian packages Ledora builds, runs and tests with; quiet when all are there.
set -euo pipefail
packages=(
    cmake make g++ clang libclang-rt-14-dev pkg-config dpkg-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins qt6-translations-l10n
    libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
    fonts-ipafont-gothic poppler-utils desktop-file-utils lintian
    cups cups-bsd printer-driver-cups-pdf
    # The real input-method test: a display, a window manager, ibus with Anthy, xdotool.
    xvfb openbox x11-utils xdotool dbus-x11 ibus ibus-anthy libglib2.0-bin dconf-gsettings-backend
    # The shared-folder tests on a real SMB share: a Samba server and a FUSE client.
    samba smbclient smbnetfs fuse
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
