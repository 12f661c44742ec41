#!/bin/sh
# Measures `scenario compila` and `scenario compila --json` of a Release
# build on each hostile scenario (fuzz/hostile_sources.h): elapsed time and
# peak memory (maximum resident set size, from /usr/bin/time -v). Prints one
# table; exits 1 when a run takes more than 5 s or 100 MB (MB = 2^20 bytes),
# 2 when it could not measure.
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

cases=${*:-riga_lunga milione_record curva_ogni_metro montagne_sovrapposte}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
limit_seconds=5
limit_kb=$((100 * 1024))
status=0
printf '%-20s %-6s %12s %12s %6s %9s %10s  %s\n' case report "line src" "train src" exit seconds "peak MB" result
for c in $cases; do
  dir=$scratch/$c
  mkdir -p "$dir"
  "$build/fuzz/make_hostile_sources" "$c" "$dir" >/dev/null || exit 2
  # sh expands no pattern in a redirection: the files go through cat.
  line_bytes=$(cat "$dir"/*_linea.txt | wc -c)
  train_bytes=$(cat "$dir"/*-.txt | wc -c)
  for report in text json; do
    option=
    [ "$report" = json ] && option=--json
    exit_status=0
    # shellcheck disable=SC2086
    /usr/bin/time -v -o "$scratch/time.txt" "$build/tools/scenario" compila $option "$dir" \
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
    printf '%-20s %-6s %12s %12s %6s %9s %10s  %s\n' "$c" "$report" "$line_bytes" "$train_bytes" \
      "$exit_status" "$seconds" "$(awk -v k="$kb" 'BEGIN { printf "%.1f", k / 1024 }')" "$result"
    [ "$report" = text ] && head -2 "$scratch/out.txt" | cut -c1-160 | sed 's/^/    /'
  done
done
exit $status
