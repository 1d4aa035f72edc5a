#!/bin/sh
# Runs every benchmark of a bench build and prints the table of ratios. The raw
# results stay in the build folder.
# Usage: bench/run.sh [BUILD_DIR]   (default build/bench)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build/bench}
out=$build/results
mkdir -p "$out"

# Repetitions run in random order, so that load from elsewhere on the machine falls on
# every benchmark alike.
echo "Native benchmarks (3 repetitions each, medians; raw output in $out)..."
"$build/bench/bundle_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true \
  --benchmark_out="$out/native.json" --benchmark_out_format=json >"$out/native.txt"

for extra in "$build"/bench/*_bench; do
  [ "$(basename "$extra")" = bundle_bench ] && continue
  echo "$(basename "$extra")..."
  "$extra" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$out/$(basename "$extra").json" --benchmark_out_format=json \
    >"$out/$(basename "$extra").txt"
done

jvm=""
if [ -x "$build/bench/run-jvm-bench.sh" ]; then
  echo "JVM benchmarks..."
  "$build/bench/run-jvm-bench.sh" "$out/jvm.json" >"$out/jvm.txt"
  jvm="$out/jvm.json"
fi

echo
python3 "$here/ratios.py" "$out/native.json" $jvm
# Instruction counts, when bench/counts.sh has made them (make bench does).
counts=$(dirname "$build")/counts
if [ -f "$counts/x86-64.json" ]; then
  echo
  python3 "$here/counts.py" table "$counts"/*.json
fi
echo
python3 "$here/hostile.py" "$out/worst_case_bench.json"
# Debian's interpreter, which has python3-matplotlib, whatever else is on the PATH.
/usr/bin/python3 "$here/report.py" "$out" "$build/report.html"
echo "Plots: $build/report.html"
