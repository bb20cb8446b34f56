#!/usr/bin/env bash
# Installs the Debian packages VORN needs to build, run and test. Quiet and quick
# when everything is already there.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-format libclang-rt-14-dev pkg-config ccache
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6
    libzip-dev libarchive-dev libdeflate-dev liblz4-dev
    libgtest-dev
    xvfb xauth
    zip unzip
    genisoimage
    desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
