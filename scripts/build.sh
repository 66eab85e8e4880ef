#!/usr/bin/env bash
# Configures and builds into build/ (Release unless BUILD_TYPE says otherwise; BUILD_DIR,
# CMAKE_ARGS and JOBS, the number of parallel jobs, may be set too).
set -euo pipefail
cd "$(dirname "$0")/.."
build_type="${BUILD_TYPE:-Release}"
build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" ${CMAKE_ARGS:-} >/dev/null
cmake --build "$build_dir" -j "${JOBS:-$(nproc)}"
