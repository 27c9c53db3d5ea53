#!/usr/bin/env bash
# Builds Brindlemark for 64-bit Windows with MinGW-w64 (static: no DLL beside any .exe), runs its
# tests under Wine through CTest, and builds and tries the zip and the installer
# (scripts/windows-package.sh). Installs what it needs with apt-get (as root or through sudo).
#
#   bash scripts/windows.sh            build and test in build-windows/
#   BUILD_DIR=dir JOBS=n WERROR=ON     another folder, other parallelism, warnings as errors
#   LINUX_PROGRAM=build/bin/brindlemark  the Linux program the .exe is compared with (default:
#                                      one built without the window in BUILD_DIR-linux)
#
# Wine gets a prefix of its own under the build folder (made on the first run, about half a
# minute), never the user's ~/.wine, and says nothing but what the programs print.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build-windows}
jobs=${JOBS:-2}
start=$SECONDS

PACKAGES=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64 wine googletest cmake ninja-build
  cups cups-client printer-driver-cups-pdf poppler-utils python3 nsis zip unzip
  build-essential libgtest-dev libcups2-dev tmux)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
  echo "Installing: ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$root"
fi
# The Linux program that brindlemark.exe must answer as, unless one is given.
linux=${LINUX_PROGRAM:-}
if [ -z "$linux" ]; then
  cmake -S . -B "$build-linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINDLEMARK_GUI=OFF \
    -DBRINDLEMARK_BENCHMARKS=OFF -DBRINDLEMARK_WERROR="${WERROR:-ON}" "${launcher[@]}" >/dev/null
  nice cmake --build "$build-linux" -j "$jobs" --target brindlemark
  linux="$build-linux/bin/brindlemark"
fi
linux=$(realpath "$linux")

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DBRINDLEMARK_GUI=OFF -DBRINDLEMARK_BENCHMARKS=OFF \
  -DBRINDLEMARK_WERROR="${WERROR:-ON}" -DBRINDLEMARK_LINUX_PROGRAM="$linux" "${launcher[@]}" >/dev/null
nice cmake --build "$build" -j "$jobs"
echo "=== windows: built in $((SECONDS - start)) s"

export WINEPREFIX="$root/$build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko prompt
export WINEARCH=win64
unset DISPLAY  # headless: nothing of Wine's asks for a window
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 || wine64 wineboot -i >/dev/null 2>&1 || true
fi
wineserver -p 60 2>/dev/null || true  # kept running between tests: each start then takes a second
# Wine's own services start with the first program and hold its output open until they end: started
# here, they hold nothing of a test's, and CTest does not wait for them after the test is done.
wineboot </dev/null >/dev/null 2>&1 || wine64 wineboot </dev/null >/dev/null 2>&1 || true
trap 'wineserver -k 2>/dev/null || true' EXIT
echo "=== windows: Wine ready after $((SECONDS - start)) s"

ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 600
echo "=== windows: tested after $((SECONDS - start)) s"
# The packaging waits for Wine to end its programs (`wineserver -w`); the server kept running for the
# tests, with its services, would keep it waiting.
wineserver -k 2>/dev/null || true

bash scripts/windows-package.sh "$build"
echo "=== windows: packaged and tried after $((SECONDS - start)) s"
