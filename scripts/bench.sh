#!/usr/bin/env bash
# Builds and runs the benchmarks (Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DRQ16_BUILD_TESTS=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
for b in build-bench/bin/*_bench; do
    echo "== $(basename "$b") =="
    "$b" --benchmark_min_time=0.2 "$@"
done
