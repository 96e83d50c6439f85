#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once in the normal
# build (warnings are errors) and once with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== build and test =="
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRQ16_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300

echo "== install into a temporary prefix, build the README's host against it, package =="
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
cmake --install build --prefix "$prefix/usr" >/dev/null
# The host program is the code of the README's section on hosting, as it
# stands there.
rm -rf build-host
cmake -S examples/host -B build-host -G Ninja -DCMAKE_PREFIX_PATH="$prefix/usr" >/dev/null
cmake --build build-host
# The host finds the library and its resource folders without any variable.
env -u RQ16_APP_FOLDER -u LD_LIBRARY_PATH build-host/myhost --screenshot "$prefix/host.png"
appstreamcli validate --no-net "$prefix"/usr/share/metainfo/*.metainfo.xml
(cd build && cpack -G DEB -B "$prefix/package" >/dev/null)
ls "$prefix"/package/rq16controls*.deb
# Errors fail CI; warnings are shown.
lintian --fail-on error "$prefix"/package/rq16controls*.deb

echo "== address and undefined-behaviour sanitizer build and test =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRQ16_SANITIZE=ON -DRQ16_WERROR=ON \
      -DRQ16_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 600
