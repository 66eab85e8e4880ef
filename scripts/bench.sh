#!/usr/bin/env bash
# Installs what the benchmarks need, builds them in Release into build-bench/ and runs them:
# ledgers of 10,000, 100,000 and 1,000,000 entries are generated once into
# build-bench/ledgers, and the table is printed and written to build-bench/performance.md.
# Arguments go to the benchmark program (for instance --sizes 10000,100000 --runs 5).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUORVELA_BENCH=ON -DQUORVELA_TESTS=OFF >/dev/null
cmake --build build-bench -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
exec ./build-bench/bench/quorvela_bench --cache build-bench/ledgers --work build-bench/work \
    --table build-bench/performance.md "$@"
