#!/usr/bin/env bash
# Installs the Debian packages the game needs (only the missing ones), then
# configures and builds it. Sourced by run.sh and test.sh; GRIMBOLT_FULL=1 adds what
# the full test run needs: the display servers and tools of the screen tests.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-wayland libxcb1-dev libsdl2-dev
    libgtest-dev libbenchmark-dev fonts-dejavu-core desktop-file-utils appstream help2man
    clang-format strace qt6-l10n-tools qt6-tools-dev libboost1.81-dev libqt6sql6-sqlite
    libqt6sql6-psql curl shared-mime-info xdg-utils)
if [ "${GRIMBOLT_FULL:-0}" = 1 ]; then
    packages+=(valgrind xvfb openbox xdotool imagemagick x11-xkb-utils sway wtype grim weston
        lintian pulseaudio pulseaudio-utils postgresql-15 chromium)
fi

source "$(dirname "${BASH_SOURCE[0]}")/packages.sh"
install_missing "${packages[@]}"

cd "$(dirname "${BASH_SOURCE[0]}")/.."
if [ ! -f build/build.ninja ]; then
    cmake --preset default
fi
cmake --build --preset default
