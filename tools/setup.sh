#!/usr/bin/env bash
# Installs the Debian packages the game needs (only the missing ones), then
# configures and builds it. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libbenchmark-dev fonts-dejavu-core
    desktop-file-utils appstream valgrind)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -q
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ ! -f build/build.ninja ]; then
    cmake --preset default
fi
cmake --build --preset default
