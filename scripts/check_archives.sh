#!/bin/sh
# Checks the two release archives: what they hold, that the Windows
# executables import only Windows system DLLs, and that the Linux builder
# unpacked from its archive writes the scenario next to itself.
# Usage: check_archives.sh LINUX_TAR_GZ WINDOWS_ZIP
set -eu
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
linux=$(absolute "$1") windows=$(absolute "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "check_archives: $*" >&2; exit 1; }

version=$(basename "$linux" | sed -n 's/^scenario-\(.*\)-Linux\.tar\.gz$/\1/p')
[ -n "$version" ] || fail "$linux: not named scenario-<version>-Linux.tar.gz"
[ "$(basename "$windows")" = "scenario-$version-win64.zip" ] ||
  fail "$windows: not named scenario-$version-win64.zip"

# The listing of an archive, files only, sorted.
files() { cmake -E tar tf "$1" | grep -v '/$' | sort; }
expect() {  # expect ARCHIVE FILE...
  archive=$1; shift
  top=$(basename "$archive" | sed 's/\.tar\.gz$//; s/\.zip$//')
  printf '%s\n' "$@" | sed "s|^|$top/|" | sort >"$work/expected"
  files "$archive" >"$work/actual"
  echo "== $(basename "$archive")"
  cat "$work/actual"
  diff -u "$work/expected" "$work/actual" >&2 || fail "$archive: unexpected contents"
}
expect "$linux" crea_scenario crea_scenario_fltk.so scenario README.md LICENSE docs/linea.png \
  docs/rapporto.png docs/formato.md
expect "$windows" crea_scenario.exe scenario.exe README.md LICENSE docs/linea.png \
  docs/rapporto.png docs/formato.md

# Windows executables that run alone: only DLLs every Windows has.
mkdir "$work/win"
(cd "$work/win" && cmake -E tar xf "$windows")
for exe in "$work/win/scenario-$version-win64/"*.exe; do
  echo "== DLL imports of $(basename "$exe")"
  x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: //p' | tee "$work/imports"
  [ -s "$work/imports" ] || fail "$exe: no imports found"
  if grep -viE '^(kernel32|user32|gdi32|msvcrt|advapi32|shell32|ole32|oleaut32|comctl32|comdlg32|ws2_32)\.dll$' \
      "$work/imports" >&2; then
    fail "$(basename "$exe") imports DLLs that are not part of Windows (above)"
  fi
done

# The unpacked Linux builder, started from another folder: the six files
# appear next to it; the tool names the archive's version.
mkdir "$work/linux" "$work/elsewhere"
(cd "$work/linux" && tar xzf "$linux")
program="$work/linux/scenario-$version-Linux"
(cd "$work/elsewhere" && env -u DISPLAY "$program/crea_scenario" 2>/dev/null) ||
  fail "the unpacked crea_scenario failed"
for f in Vescolara_631.dat Vescolara_631.sim Vescolara_631_note.txt \
    Vescolara_631_rallentamenti.txt Vescolara_631_scheda_treno.txt Vescolara_linea.dat; do
  [ -s "$program/$f" ] || fail "the unpacked crea_scenario did not write $f next to itself"
done
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the unpacked crea_scenario wrote into the current folder"

# With a display, the unpacked builder shows its window from the module beside
# it: nothing goes to the console (the console text would mean the module is
# missing or does not load).
if command -v Xvfb >/dev/null 2>&1; then
  Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
  tries=0
  while [ ! -s "$work/display" ] && [ "$tries" -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  (cd "$work/elsewhere" && DISPLAY=":$(cat "$work/display")" "$program/crea_scenario" \
    2>"$work/console") || fail "the unpacked crea_scenario failed with a display"
  kill "$xvfb" 2>/dev/null || true
  [ ! -s "$work/console" ] ||
    fail "with a display the unpacked crea_scenario wrote to the console, not its window: $(cat "$work/console")"
  echo "the unpacked crea_scenario shows its window with a display"
fi
[ "$("$program/scenario" --version)" = "scenario $version" ] ||
  fail "scenario --version does not print scenario $version"
echo "archives: contents, DLL imports and the unpacked builder are right (version $version)"
