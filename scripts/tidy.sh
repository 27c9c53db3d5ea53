#!/usr/bin/env bash
# Runs the checks of .clang-tidy over every source file of src/ with the compile commands of a
# build (default ./build, made by scripts/build.sh); fails on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v run-clang-tidy >/dev/null || EXTRA_PACKAGES=clang-tidy bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
[ -f "$BUILD_DIR/compile_commands.json" ] || BUILD_DIR="$BUILD_DIR" bash scripts/build.sh
run-clang-tidy -quiet -p "$BUILD_DIR" -j "$(nproc)" "$PWD/src/" > "$BUILD_DIR/tidy.log" 2>&1 || true
if sed 's/\x1b\[[0-9;]*m//g' "$BUILD_DIR/tidy.log" | grep -E '(warning|error): .*\[[a-z]+-' | sort -u | grep .; then
  echo "clang-tidy: the findings above must be fixed" >&2
  exit 1
fi
echo "clang-tidy: no findings"
