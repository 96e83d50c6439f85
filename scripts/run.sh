#!/usr/bin/env bash
# Installs what is missing, builds, and runs the frame application on the
# simulated module. Without a display it writes a picture of every view into
# ./screenshots and prints where. Extra arguments go to the application
# (--help lists them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target rq16frame rq16_resources rq16_help
exec build/bin/rq16frame "$@"
