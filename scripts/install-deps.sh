#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quick when everything is already there: apt runs only for missing packages.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    qt6-translations-l10n
    libsqlite3-dev sqlite3
    libgtest-dev libgmock-dev googletest
    libbenchmark-dev
    fonts-noto-cjk
    fonts-dejavu-core
    xvfb xauth
    poppler-utils
    clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
