#!/usr/bin/env bash
# The Windows packages from a build of scripts/windows.sh, each tried under Wine:
#   BUILD/brindlemark-VERSION-windows-x64.zip    brindlemark.exe, README.txt, manual, sample, licences
#   BUILD/brindlemark-VERSION-setup.exe          the same installed into Program Files (NSIS)
# The zip is unpacked and prints the sample wheel to a PDF; the installer installs silently, the
# installed program (found on the PATH) prints the same, and the uninstaller leaves nothing of it.
#
#   bash scripts/windows-package.sh BUILD        (WINEPREFIX etc. as scripts/windows.sh sets them)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath "$1")
version=$(sed -n 's/^project(brindlemark VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
exe="$build/bin/brindlemark.exe"
[ -f "$exe" ] || { echo "windows-package: $exe is not built" >&2; exit 1; }
fail() { echo "windows-package: $*" >&2; exit 1; }

stage="$build/package/stage"
rm -rf "$build/package"
mkdir -p "$stage/licences"
cp "$exe" "$stage/"
x86_64-w64-mingw32-strip "$stage/brindlemark.exe"
cp -r doc/manual "$stage/manual"
rm -f "$stage/manual/"*.qrc
cp -r sample "$stage/sample"
find "$stage/sample" -name .keep -delete
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/gcc-runtime-libraries.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$stage/licences/mingw-w64-runtime.txt"
sed 's/$/\r/' dist/windows/README.txt > "$stage/README.txt"

# Windows' own tools read text files with CR LF.
zipfile="$build/brindlemark-$version-windows-x64.zip"
(cd "$build/package" && mv stage "brindlemark-$version" && zip -q -r -X "$zipfile" "brindlemark-$version" && mv "brindlemark-$version" stage)
setup="$build/brindlemark-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" dist/windows/brindlemark.nsi >/dev/null
echo "windows-package: $(du -h "$zipfile" | cut -f1) $zipfile, $(du -h "$setup" | cut -f1) $setup"

# Prints the sample wheel to a PDF with the program found as $1; the PDF must be one.
print_sample() {
  local program=$1 out=$2
  rm -f "$out"
  wine "$program" print --definition LO649 --wheel LO649-sample.txt --pdf "Z:$out" > "$build/package/printed.txt" 2>&1
  grep -q "Processing Complete" "$build/package/printed.txt" || fail "no complete print: $(cat "$build/package/printed.txt")"
  head -c 5 "$out" | grep -q '%PDF-' || fail "$out is no PDF"
}

user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
appdata="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Brindlemark"
rm -rf "$appdata"

# The zip, unpacked anywhere: the first start makes the user's folder from its sample.
unpacked="$build/package/unzipped"
mkdir -p "$unpacked"
(cd "$unpacked" && unzip -q "$zipfile")
print_sample "$unpacked/brindlemark-$version/brindlemark.exe" "$build/package/zip.pdf"
[ -f "$appdata/Defs/LO649.def" ] || fail "the first start made no program folder in $appdata"
rm -rf "$appdata"

# The installer, silent; then the program by its name alone, through the PATH.
programs="$WINEPREFIX/drive_c/Program Files/Brindlemark"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Brindlemark"
wine "$setup" /S
[ -f "$programs/brindlemark.exe" ] || fail "nothing installed in $programs"
[ -f "$menu/Brindlemark command prompt.lnk" ] || fail "no Start menu entry in $menu"
wine reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path | tr -d '\r' |
  grep -qi 'C:\\Program Files\\Brindlemark' || fail "not on the PATH"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemark' /v DisplayVersion >/dev/null ||
  fail "not in Apps & features"
wineserver -w  # the new PATH holds for programs started from now on
print_sample brindlemark "$build/package/installed.pdf"
rm -rf "$appdata"

# The uninstaller runs from a copy of itself in the temporary folder: waited for through Wine.
wine "$programs/uninstall.exe" /S
wineserver -w
[ ! -e "$programs" ] || fail "left behind: $(ls -A "$programs")"
[ ! -e "$menu" ] || fail "the Start menu entries are left"
if wine reg query 'HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment' /v Path | tr -d '\r' |
  grep -qi 'Brindlemark'; then fail "still on the PATH"; fi
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemark' >/dev/null 2>&1; then
  fail "still in Apps & features"
fi
echo "windows-package: the zip and the installer print the sample; uninstalling left nothing"
