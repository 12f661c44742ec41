#!/bin/sh
# Fuzzes one target with libFuzzer and keeps what it found, minimised.
#
# fuzz/run.sh TARGET [MINUTES]
#   TARGET   field_reader, compile, track_file, run_file or line_file
#   MINUTES  how long to fuzz (default 30)
#
# Builds the targets with clang under ASan and UBSan in build-fuzz/, makes
# the seeds (fuzz/make_seeds.sh) once, fuzzes under `nice -n 19` in one
# process, starting from the kept corpus fuzz/corpus/TARGET and the seeds,
# and then merges everything into a new minimised fuzz/corpus/TARGET
# (-merge=1). The log, with libFuzzer's final cov: and ft: and the number of
# executions, stays in build-fuzz/logs/TARGET.log; an input that broke the
# target stays in build-fuzz/artifacts/TARGET/ and ends the script with
# status 1, without merging.
set -eu
cd "$(dirname "$0")/.."

usage() {
  sed -n '4,7p' "$0" | sed 's/^# \{0,1\}//' >&2
}
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  usage
  exit 2
fi
target=$1
minutes=${2:-30}
# The longest input each target tries: the built-in pair of sources fits in
# 16 KB; the field reader and the compiled formats repeat a few patterns,
# which small inputs cover.
# The kept corpus has one input per feature (an edge and how often it is
# hit); for the compile pass, whose inputs are large and many, one per edge.
case $target in
  field_reader) max_len=4096; dict=-dict=fuzz/sources.dict; counters=1 ;;
  compile) max_len=16384; dict=-dict=fuzz/sources.dict; counters=0 ;;
  track_file) max_len=4096; dict=; counters=1 ;;
  run_file) max_len=8192; dict=; counters=1 ;;
  line_file) max_len=4096; dict=; counters=1 ;;
  *) usage; exit 2 ;;
esac

. scripts/deps.sh
install_missing clang libclang-rt-14-dev make cmake pkg-config libfltk1.3-dev libx11-dev \
  libcairo2-dev libcli11-dev nlohmann-json3-dev

mkdir -p build-fuzz
build_log=build-fuzz/build.log
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSCENARIO_FUZZ=ON -DSCENARIO_TESTS=OFF >"$build_log" 2>&1 || { cat "$build_log"; exit 2; }
nice -n 19 cmake --build build-fuzz -j2 --target "${target}_fuzzer" crea_scenario scenario \
  >>"$build_log" 2>&1 || { tail -50 "$build_log"; exit 2; }
[ -d build-fuzz/seeds ] || sh fuzz/make_seeds.sh build-fuzz build-fuzz/seeds

work=build-fuzz/work/$target
artifacts=build-fuzz/artifacts/$target
mkdir -p "$work" "$artifacts" build-fuzz/logs "fuzz/corpus/$target"
cp "fuzz/corpus/$target"/* "$work"/ 2>/dev/null || true
fuzzer=build-fuzz/fuzz/${target}_fuzzer
log=build-fuzz/logs/$target.log

echo "fuzzing $target for $minutes minutes (log: $log)"
status=0
# shellcheck disable=SC2086
nice -n 19 "$fuzzer" "$work" "build-fuzz/seeds/$target" $dict -max_len=$max_len \
  -max_total_time=$((minutes * 60)) -timeout=60 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
grep -E '^#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$log" || true
if [ "$status" -ne 0 ]; then
  tail -40 "$log"
  echo "$target: the fuzzer stopped with status $status; inputs in $artifacts/" >&2
  exit 1
fi

# Minimise: the smallest set of inputs that keeps every feature (or edge).
merged=build-fuzz/merged/$target
rm -rf "$merged"
mkdir -p "$merged"
nice -n 19 "$fuzzer" -merge=1 -use_counters=$counters -max_len=$max_len "$merged" \
  "fuzz/corpus/$target" "$work" \
  "build-fuzz/seeds/$target" >"build-fuzz/logs/$target.merge.log" 2>&1
rm -rf "fuzz/corpus/$target"
mv "$merged" "fuzz/corpus/$target"
echo "$target: fuzz/corpus/$target keeps $(ls "fuzz/corpus/$target" | wc -l) inputs," \
  "$(cat "fuzz/corpus/$target"/* | wc -c) bytes"
