#!/usr/bin/env bash
# Builds with coverage counters into ./build-coverage, runs every test, and prints the share of
# lines run per source folder (gcovr). The HTML report lands in build-coverage/coverage/.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES=gcovr bash scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build-coverage}
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
BUILD_TYPE=Debug BUILD_DIR="$BUILD_DIR" bash scripts/build.sh -DBRINDLEMARK_COVERAGE=ON -DBRINDLEMARK_BENCHMARKS=OFF
find "$BUILD_DIR" -name '*.gcda' -delete
# The counters' own notes (a merge of two runs at once) would land in the outputs the tests compare.
export GCOV_ERROR_FILE=/dev/null
ctest --test-dir "$BUILD_DIR" -j "$(nproc)" --timeout 900 || echo "coverage: some tests failed; the figures below still count what ran" >&2
mkdir -p "$BUILD_DIR/coverage"
# One line per folder of src/: lines run of lines that can run.
gcovr --root . --filter 'src/' --object-directory "$BUILD_DIR" --gcov-ignore-parse-errors \
  --html-details "$BUILD_DIR/coverage/index.html" --json-summary "$BUILD_DIR/coverage/summary.json" >/dev/null
python3 - "$BUILD_DIR/coverage/summary.json" <<'PY'
import json, os, sys, collections
data = json.load(open(sys.argv[1]))
folders = collections.OrderedDict()
for f in data["files"]:
    folder = os.path.dirname(f["filename"])
    t = folders.setdefault(folder, [0, 0])
    t[0] += f["line_covered"]; t[1] += f["line_total"]
print(f'{"folder":32} {"lines":>8} {"run":>8} {"share":>7}')
for folder in sorted(folders):
    run, total = folders[folder]
    print(f'{folder:32} {total:8} {run:8} {100.0 * run / max(total, 1):6.1f}%')
print(f'{"all of src/":32} {data["line_total"]:8} {data["line_covered"]:8} {data["line_percent"]:6.1f}%')
PY
