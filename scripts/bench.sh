#!/usr/bin/env bash
# Builds the benchmarks with the bench preset (native, optimised, no
# sanitizers) and runs each of them.
#   scripts/bench.sh [build folder]     default: build/bench
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}

cd "$root"
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" --target benchmarks
for program in "$build"/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program"
done
