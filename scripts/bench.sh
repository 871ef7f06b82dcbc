#!/usr/bin/env bash
# Builds the benchmarks and runs each of them: the portable ones with the
# bench preset (native, optimised, no sanitizers), then those that print
# through simhost.exe and the add-in library, and the viewer's reload beside
# its native figure and the turn to a page of its page view, in the Wine
# session of the x86_64 Windows build.
#   scripts/bench.sh [native build folder [Windows build folder]]
#                                       defaults: build/bench, build/win64
#   KQ_BENCH_WINE=0 scripts/bench.sh    the portable ones only
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
winbuild=${2:-$root/build/win64}
jobs=${KQ_BENCH_JOBS:-3}

cd "$root"
cmake --preset bench -B "$build" >/dev/null
cmake --build "$build" --target benchmarks -j "$jobs"
for program in "$build"/bench/*_bench; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  "$program"
done

[ "${KQ_BENCH_WINE:-1}" != 0 ] || exit 0
cmake --preset win64 -B "$winbuild" >/dev/null
cmake --build "$winbuild" --target benchmarks -j "$jobs"
session="$root/scripts/wine-session.sh"
# Brought up by the first run and stopped at the end, as the tests do.
trap '"$session" stop "$winbuild" >/dev/null 2>&1 || true' EXIT
status=0
for name in print_bench recording_soak_bench viewer_reload_bench page_turn_bench; do
  program="$winbuild/bench/$name.exe"
  [ -f "$program" ] || continue
  echo "== $name (Wine)"
  "$session" run "$winbuild" "$program" || status=$?
done
exit "$status"
