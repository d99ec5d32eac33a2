#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
# apt-get update runs only when something has to be installed.
set -euo pipefail
PACKAGES=(
    build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
    googletest libgtest-dev libgmock-dev libbenchmark-dev xdg-utils
    sqlite3 libsqlite3-dev libxml2-utils python3 hyperfine
    qt6-base-dev qt6-multimedia-dev libgl-dev
    libgsm1-dev libmp3lame-dev libmpg123-dev nettle-dev libcurl4-openssl-dev
    xvfb xauth pulseaudio pulseaudio-utils ffmpeg sox python3-aiosmtpd poppler-utils imagemagick
    librsvg2-bin desktop-file-utils appstream man-db dpkg-dev
)
missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
