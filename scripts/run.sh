#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on its bundled sample folder.
# Without a display it prints a sample wheel to a PDF through the command line instead.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
BIN=build/bin
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$BIN/brindlemark"
fi
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"
out="$PWD/$BIN/LO649-sample.pdf"
echo "No display found, so the window cannot open. Printing the sample 6/49 wheel to a PDF instead:"
QT_QPA_PLATFORM=offscreen "$BIN/brindlemark" print --definition LO649 --wheel "$BIN/wheel/LO649-sample.txt" --pdf "$out"
echo "The PDF is at $out"
