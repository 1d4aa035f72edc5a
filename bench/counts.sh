#!/bin/sh
# Builds the instruction-count driver for 32-bit ARM with both compilers and for the
# host, counts every row into build/counts, then:
#   measure    nothing more (make bench prints and draws them)
#   table      prints the tables
#   check      fails when a row rose by more than 2 % over bench/counts-baseline.json
#   baseline   writes bench/counts-baseline.json from this run
# Usage: bench/counts.sh MODE
set -eu
mode=${1:-table}
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=build/counts
mkdir -p "$out"

count() {
    preset=$1
    target=$2
    cmake --preset "$preset" >"$out/$preset.configure.log"
    cmake --build --preset "$preset" --target count_driver >"$out/$preset.build.log"
    echo "Counting instructions: $target"
    python3 bench/counts.py measure "$target" "build/$preset" "$out/$target.json"
}

count counts-armv7-clang armv7-clang
count counts-armhf armhf
count bench x86-64

files="$out/armv7-clang.json $out/armhf.json $out/x86-64.json"
case $mode in
    measure) ;;
    table) python3 bench/counts.py table $files ;;
    check) python3 bench/counts.py check bench/counts-baseline.json $files ;;
    baseline)
        python3 bench/counts.py baseline bench/counts-baseline.json $files
        echo "Wrote bench/counts-baseline.json" ;;
    *) echo "unknown mode: $mode" >&2; exit 2 ;;
esac
