#!/usr/bin/env bash
# Formats every C++ file of the project with .clang-format; --check only lists the files that
# differ and fails if there is one (CI runs that).
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || EXTRA_PACKAGES=clang-format bash scripts/install-deps.sh
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  bad=0
  for f in "${files[@]}"; do
    if ! clang-format --style=file "$f" | cmp -s - "$f"; then
      echo "not formatted: $f (bash scripts/format.sh)"
      bad=1
    fi
  done
  exit $bad
fi
clang-format --style=file -i "${files[@]}"
