#!/usr/bin/env bash
# Installs what is missing, then configures and builds into build/ (Release).
# Used by ./run.sh and ./test.sh; extra arguments go to the CMake configure step.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libgdk-pixbuf-2.0-dev libwmf-0.2-7-gtk libemf2svg-dev librsvg2-dev
  libfreetype-dev libfontconfig-dev fonts-urw-base35 fonts-dejavu-core
  libcairo2-dev libturbojpeg0-dev libmp3lame-dev
  libgtest-dev googletest
  xvfb xauth xdotool x11-utils apitrace openbox
)

scripts/install-packages.sh "${packages[@]}"

build_dir=${VZ_BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
