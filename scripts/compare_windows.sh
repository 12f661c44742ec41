#!/bin/sh
# Runs the Linux and the Windows builder (under Wine) in two scratch folders
# and checks that every file they leave is byte-identical.
# Usage: compare_windows.sh WINE LINUX_BUILDER WINDOWS_BUILDER
set -eu
wine=$1 linux=$2 windows=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/linux" "$work/windows" "$work/wineprefix"
cp "$linux" "$work/linux/crea_scenario"
cp "$windows" "$work/windows/crea_scenario.exe"
(cd "$work/linux" && env -u DISPLAY ./crea_scenario 2>/dev/null)
(cd "$work/windows" && env -u DISPLAY WINEDEBUG=-all WINEPREFIX="$work/wineprefix" \
  timeout 300 "$wine" ./crea_scenario.exe >/dev/null 2>&1)
rm "$work/linux/crea_scenario" "$work/windows/crea_scenario.exe"
if diff -r "$work/linux" "$work/windows"; then
  echo "windows builder: same files as the linux builder ($(ls "$work/linux" | wc -l) files)"
else
  echo "windows builder: files differ from the linux builder" >&2
  exit 1
fi
