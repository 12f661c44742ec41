#!/bin/sh
# Writes the seed inputs of every fuzz target into OUT/<target>/:
#   - the built-in sources, as `scenario sorgenti` writes them;
#   - the reader fixtures of tests/reader/fixtures;
#   - the compiled files of the built-in scenario, as the builder writes
#     them when run without a display in a scratch folder, and those of the
#     fixture pairs, as `scenario compila` writes them.
#
# fuzz/make_seeds.sh BUILD_DIR OUT
#   BUILD_DIR holds crea_scenario and tools/scenario (any build).
set -eu
if [ $# -ne 2 ]; then
  echo "usage: fuzz/make_seeds.sh BUILD_DIR OUT" >&2
  exit 2
fi
cd "$(dirname "$0")/.."
build=$(cd "$1" && pwd)
out=$2
fixtures=tests/reader/fixtures
sep='#####'  # the compile target's split between line and train-run source
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

rm -rf "$out"
mkdir -p "$out/field_reader" "$out/compile" "$out/track_file" "$out/run_file" "$out/line_file"

# The built-in sources and the compiled built-in files.
mkdir "$scratch/sorgenti"
"$build/tools/scenario" sorgenti "$scratch/sorgenti" >/dev/null
builtin_line=$scratch/sorgenti/Vescolara_linea.txt
builtin_train=$scratch/sorgenti/Vescolara_631-.txt
mkdir "$scratch/builder"
cp "$build/crea_scenario" "$scratch/builder/"
(unset DISPLAY; "$scratch/builder/crea_scenario" 2>/dev/null) || true
cp "$scratch/builder/Vescolara_631.dat" "$out/track_file/builtin.dat"
cp "$scratch/builder/Vescolara_631.sim" "$out/run_file/builtin.sim"
cp "$scratch/builder/Vescolara_linea.dat" "$out/line_file/builtin_linea.dat"

# A line file holds the x values, then the y values. Small line files that
# still decode: the first metres of each axis of the built-in one (two
# 4-byte integers, then 10-byte doubles), and the two empty last metres.
line_file=$scratch/builder/Vescolara_linea.dat
half=$(( $(wc -c < "$line_file") / 2 ))
for metres in 2 3 12 100; do
  n=$(( 8 + 10 * (metres - 2) ))
  {
    head -c "$n" "$line_file"; printf '\000\000\000\000'
    tail -c "+$((half + 1))" "$line_file" | head -c "$n"; printf '\000\000\000\000'
  } > "$out/line_file/metri_$metres.dat"
done

# Field reader: every source on its own, after a zero byte (no op bytes:
# text, int32, int16 and uint8 reads by turns).
for f in "$builtin_line" "$builtin_train" "$fixtures"/*.txt; do
  { printf '\000'; cat "$f"; } > "$out/field_reader/$(basename "$f")"
done

# Compile pass: line source, "#####", train-run source.
pair() {  # pair NAME LINE TRAIN
  { cat "$2"; printf '%s' "$sep"; cat "$3"; } > "$out/compile/$1"
}
pair builtin "$builtin_line" "$builtin_train"
cp "$builtin_line" "$out/compile/builtin_senza_treno"
for f in "$fixtures"/linea_*.txt; do pair "$(basename "$f" .txt)" "$f" "$fixtures/treno_000_valido.txt"; done
for f in "$fixtures"/treno_*.txt; do pair "$(basename "$f" .txt)" "$fixtures/linea_000_valida.txt" "$f"; done

# The compiled files of every pair that compiles, one folder per pair.
for input in "$out"/compile/linea_* "$out"/compile/treno_*; do
  name=$(basename "$input")
  dir=$scratch/compiled/$name
  mkdir -p "$dir"
  case $name in
    linea_*) cp "$fixtures/$name.txt" "$dir/Prova_linea.txt"; cp "$fixtures/treno_000_valido.txt" "$dir/Prova_1-.txt" ;;
    treno_*) cp "$fixtures/linea_000_valida.txt" "$dir/Prova_linea.txt"; cp "$fixtures/$name.txt" "$dir/Prova_1-.txt" ;;
  esac
  "$build/tools/scenario" compila "$dir" --linea Prova --treno 1 >/dev/null 2>&1 || true
  [ -f "$dir/Prova_1.dat" ] && cp "$dir/Prova_1.dat" "$out/track_file/$name.dat"
  [ -f "$dir/Prova_1.sim" ] && cp "$dir/Prova_1.sim" "$out/run_file/$name.sim"
  case $name in  # the line file depends on the line source alone
    linea_*) [ -f "$dir/Prova_linea.dat" ] && cp "$dir/Prova_linea.dat" "$out/line_file/$name.dat" ;;
  esac
done
for t in field_reader compile track_file run_file line_file; do
  echo "make_seeds: $(ls "$out/$t" | wc -l) seeds for $t"
done
