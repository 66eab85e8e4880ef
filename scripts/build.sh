#!/usr/bin/env bash
# Configures and builds into build/ (Release unless BUILD_TYPE says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
build_type="${BUILD_TYPE:-Release}"
build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
