#!/usr/bin/env bash
# Builds the Debian package from the build in ./build (or $BUILD_DIR), checks its file list
# against dist/linux/installed-files.txt, installs it with apt-get, runs the installed program
# as a new user, and removes the package again. Installing needs root (CI runs as root);
# without root the package is unpacked with dpkg -x and run from there instead.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
version=$(sed -n 's/^project(brindlemark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb="brindlemark_${version}_amd64.deb"

(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
[ -f "$BUILD_DIR/$deb" ] || { echo "package: $deb was not made" >&2; exit 1; }
echo "package: $BUILD_DIR/$deb"
dpkg-deb -f "$BUILD_DIR/$deb" Package Version Architecture Depends

# The listing's files (not its folders) are exactly the installed ones.
diff <(dpkg-deb -c "$BUILD_DIR/$deb" | awk '{print $6}' | grep -v '/$' | sed 's|^\.||' | sort) \
    dist/linux/installed-files.txt || { echo "package: the .deb holds other files than expected" >&2; exit 1; }
dpkg-deb -f "$BUILD_DIR/$deb" Depends | grep -q libqt6widgets6 ||
    { echo "package: Depends was not worked out from the libraries" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$(id -u)" = 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -qq "./$BUILD_DIR/$deb" >/dev/null
    exe=/usr/bin/brindlemark
else
    echo "package: not root, so the package is unpacked with dpkg -x instead of installed"
    dpkg -x "$BUILD_DIR/$deb" "$work/root"
    exe="$work/root/usr/bin/brindlemark"
fi
mkdir -p "$work/home"
HOME="$work/home" QT_QPA_PLATFORM=offscreen env -u XDG_DATA_HOME "$exe" print --definition LO649 \
    --wheel LO649-sample.txt --pdf "$work/LO649.pdf"
[ -s "$work/LO649.pdf" ] && [ -f "$work/home/.local/share/brindlemark/Defs/LO649.def" ] ||
    { echo "package: the installed program did not print from its per-user folder" >&2; exit 1; }
if [ "$(id -u)" = 0 ]; then
    apt-get remove -y -qq brindlemark >/dev/null
    [ ! -e /usr/bin/brindlemark ] || { echo "package: removing left /usr/bin/brindlemark" >&2; exit 1; }
fi
echo "package: listed, installed, run and removed"
