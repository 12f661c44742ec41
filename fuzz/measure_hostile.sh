#!/bin/sh
# Measures `scenario compila` of a Release build on each hostile scenario
# (fuzz/hostile_sources.h): elapsed time and peak memory (maximum resident
# set size, from /usr/bin/time -v). Prints one table; exits 1 when a case
# takes more than 5 s or 100 MB (MB = 2^20 bytes), 2 when it could not
# measure.
#
# fuzz/measure_hostile.sh [CASE...]   (default: every case)
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake pkg-config time libcairo2-dev libcli11-dev nlohmann-json3-dev

build=build-hostile
mkdir -p "$build"
{
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF &&
    cmake --build "$build" -j2 --target scenario make_hostile_sources
} >"$build/build.log" 2>&1 || { tail -40 "$build/build.log"; exit 2; }

cases=${*:-riga_lunga milione_record curva_ogni_metro}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
limit_seconds=5
limit_kb=$((100 * 1024))
status=0
printf '%-18s %12s %12s %6s %9s %10s  %s\n' case "line src" "train src" exit seconds "peak MB" result
for c in $cases; do
  dir=$scratch/$c
  mkdir -p "$dir"
  "$build/fuzz/make_hostile_sources" "$c" "$dir" >/dev/null || exit 2
  line_bytes=$(wc -c <"$dir"/*_linea.txt)
  train_bytes=$(wc -c <"$dir"/*-.txt)
  exit_status=0
  /usr/bin/time -v -o "$scratch/time.txt" "$build/tools/scenario" compila "$dir" \
    >"$scratch/out.txt" 2>&1 || exit_status=$?
  # "Elapsed (wall clock) time (h:mm:ss or m:ss): 0:00.67"
  seconds=$(sed -n 's/.*Elapsed (wall clock).*: //p' "$scratch/time.txt" |
    awk -F: '{ s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; printf "%.2f", s }')
  kb=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$scratch/time.txt")
  result=pass
  if [ "$exit_status" -gt 2 ] ||
    awk -v s="$seconds" -v l="$limit_seconds" 'BEGIN { exit !(s > l) }' ||
    [ "$kb" -gt "$limit_kb" ]; then
    result=FAIL
    status=1
  fi
  printf '%-18s %12s %12s %6s %9s %10s  %s\n' "$c" "$line_bytes" "$train_bytes" "$exit_status" \
    "$seconds" "$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')" "$result"
  head -2 "$scratch/out.txt" | cut -c1-160 | sed 's/^/    /'
done
exit $status
