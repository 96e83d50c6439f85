#!/usr/bin/env bash
# Builds the Debian packages package/rq16controls_<version>_<arch>.deb and
# package/rq16controls-dev_<version>_<arch>.deb from a Release build in
# build-package. Install them with
#   apt install ./package/rq16controls_*.deb ./package/rq16controls-dev_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DRQ16_BUILD_TESTS=OFF \
      -DRQ16_BUILD_BENCH=OFF "$@" >/dev/null
cmake --build build-package -j"$(nproc)"
rm -f package/rq16controls*.deb
(cd build-package && cpack -G DEB -B "$PWD/../package" >/dev/null)
rm -rf package/_CPack_Packages
ls -1 "$PWD"/package/rq16controls*.deb
