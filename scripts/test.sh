#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
# WERROR=ON treats warnings as errors; SANITIZE=ON builds with AddressSanitizer + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
BUILD_DIR=${BUILD_DIR:-build} bash scripts/build.sh \
  -DBRINDLEMARK_WERROR=${WERROR:-OFF} -DBRINDLEMARK_SANITIZE=${SANITIZE:-OFF}
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)" --timeout 600
