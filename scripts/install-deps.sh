#!/usr/bin/env bash
# Installs every build and test dependency of Velmora on Debian 12 (idempotent).
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config git
    zlib1g-dev libpugixml-dev libexpat1-dev nettle-dev
    qt6-base-dev qt6-base-dev-tools libqt6svg6 libgl-dev
    libxlsxwriter-dev libcli11-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    xvfb xauth python3 unzip tzdata locales
    clang libclang-rt-14-dev
    groff-base bash-completion dpkg-dev file binutils desktop-file-utils appstream lintian
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
