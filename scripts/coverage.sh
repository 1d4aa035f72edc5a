#!/usr/bin/env bash
# Writes the coverage report of a build whose tests have run: HTML with each source,
# and a summary per folder. Branches that only throw, and those the compiler proves
# unreachable, are left out.
# Usage: scripts/coverage.sh BUILD_DIR
set -euo pipefail
build=$1
out=$build/report
mkdir -p "$out"
folders=(bundle jni statusitem platform inspect)
filters=()
for f in "${folders[@]}"; do filters+=(--filter "$f/"); done

gcovr --root . --object-directory "$build" "${filters[@]}" \
      --exclude-throw-branches --exclude-unreachable-branches \
      --exclude-directories '.*/CompilerIdCXX' \
      --json "$out/coverage.json" --html-details "$out/index.html" --txt "$out/files.txt"

summary=$out/summary.txt
printf '%-22s %8s %10s\n' folder lines branches > "$summary"
figures() {
  # The text report goes to the pipe too: gcovr replaces an output file it is given,
  # /dev/null included.
  gcovr --add-tracefile "$out/coverage.json" "$@" --print-summary |
    awk '/^lines:/ {l=$2} /^branches:/ {b=$2} END {printf "%8s %10s\n", l, b}'
}
for f in "${folders[@]}"; do
  printf '%-22s %s\n' "$f/" "$(figures --filter "$f/")" >> "$summary"
done
printf '%-22s %s\n' "bundle/ jni/ statusitem/" \
  "$(figures --filter bundle/ --filter jni/ --filter statusitem/)" >> "$summary"
cat "$summary"
echo "Report: $out/index.html (uncovered lines per file: $out/files.txt)"
