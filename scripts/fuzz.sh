#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang and libFuzzer (in build-fuzz,
# with AddressSanitizer and UndefinedBehaviorSanitizer) and runs them.
#
#   bash scripts/fuzz.sh                  # every target for 60 seconds each
#   bash scripts/fuzz.sh data_set 600     # one target for ten minutes
#   bash scripts/fuzz.sh all 600          # every target for ten minutes each
#
# New inputs go to build-fuzz/corpus/<target>, crashes and their inputs to
# build-fuzz/findings/<target>; the seeds in fuzz/corpus/<target> are read only.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if ! compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a" >/dev/null; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq clang libclang-rt-14-dev
fi
which="${1:-all}"
seconds="${2:-60}"
mapfile -t all < <(sed -n 's/^ *rq16_fuzz_\(target\|reader\)(\([a-z_]*\) .*/\2/p' fuzz/CMakeLists.txt)
targets=("${all[@]}")
[ "$which" != all ] && targets=("$which")

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
      -DRQ16_FUZZ=ON -DRQ16_SANITIZE=ON -DRQ16_BUILD_TESTS=OFF -DRQ16_BUILD_BENCH=OFF \
      "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$target" "build-fuzz/findings/$target"
    echo "== $target: $seconds s =="
    "build-fuzz/bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/findings/$target/" \
        "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
