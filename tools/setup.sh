#!/usr/bin/env bash
# Installs the Debian packages the game needs (only the missing ones), then
# configures and builds it. Sourced by run.sh and test.sh.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-wayland libxcb1-dev libgtest-dev
    libbenchmark-dev fonts-dejavu-core desktop-file-utils appstream valgrind)

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
install_missing "${packages[@]}"

cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ ! -f build/build.ninja ]; then
    cmake --preset default
fi
cmake --build --preset default
