#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed program as a new user
# would: the per-user program folder is made from the installed sample on the first start,
# prints from there, and a second start leaves what the user changed alone. Also validates the
# desktop entry, the AppStream data and the man page as installed.
#   installed-program.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
src=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
root="$work/root"
diff <(cd "$root" && find . -type f | sed 's|^\.||' | sort) "$src/dist/linux/installed-files.txt" ||
    fail "the installed files differ from dist/linux/installed-files.txt"

desktop-file-validate "$root/usr/share/applications/org.brindlemark.Brindlemark.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.brindlemark.Brindlemark.metainfo.xml" >/dev/null
man_warnings=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/brindlemark.1" 2>&1 >/dev/null)
[ -z "$man_warnings" ] || fail "man page: $man_warnings"
MANWIDTH=80 man -l "$root/usr/share/man/man1/brindlemark.1" 2>/dev/null | grep -q "print lottery playslips" ||
    fail "the man page does not render"

exe="$root/usr/bin/brindlemark"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$work/home"
run() { env HOME="$work/home" XDG_DATA_HOME="$work/data" "$exe" "$@"; }
folder="$work/data/brindlemark"

# --version asks for no program folder, so it makes none.
run --version >/dev/null
[ ! -e "$folder" ] || fail "--version created the program folder"

# First start: the folder is made from the sample and prints.
run print --definition LO649 --wheel LO649-sample.txt --pdf "$work/first.pdf" >"$work/out.txt" 2>&1
grep -q "Printing 12 Picks On 2 Playslips" "$work/out.txt" || fail "print said: $(cat "$work/out.txt")"
head -c 5 "$work/first.pdf" | grep -q "%PDF-" || fail "no PDF was written"
diff -r "$src/sample/Defs" "$folder/Defs" || fail "the sample definitions were not copied"
diff -r "$src/sample/wheel" "$folder/wheel" || fail "the sample wheels were not copied"
for d in Settings Summary; do [ -d "$folder/$d" ] || fail "$d was not created"; done

# What a user does with the folder; the next start must not undo any of it.
printf '"1.5"\r\n"-2"\r\n' >"$folder/Settings/LO649.ini"
rm "$folder/Defs/TK539.def"
printf '1 2 3 4 5 6\n' >"$folder/wheel/LO649-sample.txt"
cp "$folder/Defs/LO649.def" "$folder/Defs/MY649.def"
listing() { (cd "$folder" && find . -printf '%p %y %m\n' | sort && find . -type f -exec md5sum {} + | sort); }
before=$(listing)
run print --definition MY649 --wheel LO649-sample.txt --marks >"$work/marks.txt"
[ "$(cut -d' ' -f1 "$work/marks.txt" | sort -u)" = 1 ] || fail "the user's wheel was not the one printed"
[ "$before" = "$(listing)" ] || fail "the second start changed the user's folder"

# --home wins, and the per-user folder stays as it is.
mkdir -p "$work/other/Defs" "$work/other/wheel"
cp "$src/sample/Defs/PB569.def" "$work/other/Defs/"
cp "$src/sample/wheel/PB569-sample.txt" "$work/other/wheel/"
run --home "$work/other" print --definition PB569 --wheel PB569-sample.txt --marks >/dev/null
run --home "$work/other" print --definition LO649 --wheel LO649-sample.txt --marks >/dev/null 2>&1 &&
    fail "--home did not replace the per-user folder"
[ "$before" = "$(listing)" ] || fail "a run with --home changed the per-user folder"

# Without XDG_DATA_HOME the folder is ~/.local/share/brindlemark.
env -u XDG_DATA_HOME HOME="$work/home" "$exe" print --definition VT645 --wheel VT645-sample.txt --marks >/dev/null
[ -f "$work/home/.local/share/brindlemark/Defs/VT645.def" ] || fail "no folder under ~/.local/share"

# The installed program finds its wheel library and gives a library design at once.
run wheel library >"$work/library.csv" 2>/dev/null || fail "wheel library failed in the installed program"
[ "$(wc -l <"$work/library.csv")" = 55 ] || fail "the installed wheel library lists $(wc -l <"$work/library.csv") lines"
run wheel make --count 13 --pick 4 --if 3 --match 3 2>"$work/make.txt" >/dev/null
grep -q "^78 plays, .*; best published, from the library$" "$work/make.txt" ||
    fail "wheel make did not take the library design: $(cat "$work/make.txt")"

# The program in its build folder keeps using that folder and makes no per-user one.
env HOME="$work/home2" XDG_DATA_HOME="$work/data2" "$build/bin/brindlemark" print --definition LO649 \
    --wheel LO649-sample.txt --marks >/dev/null
[ ! -e "$work/data2" ] && [ ! -e "$work/home2" ] || fail "the build folder's program made a per-user folder"
echo "installed program: per-user folder made, printed from, kept on the second start"
