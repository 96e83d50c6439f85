#!/usr/bin/env bash
# Builds and runs the benchmarks (Release build).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DRQ16_BUILD_TESTS=ON >/dev/null
cmake --build build-bench -j"$(nproc)"
uptime # how loaded the machine is: the figures are ratios within one run
for b in build-bench/bin/*_bench; do
    echo "== $(basename "$b") =="
    if [ "$(basename "$b")" = frame_bench ]; then
        # One count of views per process, so that memory per view is clean.
        for n in 0 1 10 100 1000; do
            "$b" --benchmark_filter="/$n/" "$@"
        done
    else
        "$b" --benchmark_min_time=0.2 "$@"
    fi
done
