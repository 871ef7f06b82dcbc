#!/usr/bin/env bash
# The main job, end to end, in one command: installs what the build needs,
# builds the add-in library, the viewer and the simulated host (x86_64, run
# under Wine), then lets the simulated host open a workbook with a watched
# sheet and print it by each print command as the default settings allow.
# The history files are left in a folder this script names and lists at the
# end; the add-in's history command then opens the viewer on them, whose
# picture is saved beside them (viewer.png) before it is closed.
#
#   scripts/demo.sh [<folder>]    default folder: build/demo
#
# KQ_BUILD_JOBS limits the build's parallel jobs.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if [ "$(id -u)" -eq 0 ]; then
  scripts/install-deps.sh
else
  scripts/install-deps.sh 2>/dev/null || sudo scripts/install-deps.sh
fi

echo "== build (win64)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target simhost Kez_Quorvex Kez_Quorvex_View ${KQ_BUILD_JOBS:+-j "$KQ_BUILD_JOBS"}

build=$root/build/win64
out=$(realpath -m "${1:-$root/build/demo}")
rm -rf "$out"
mkdir -p "$out/history"
cp tests/data/sim/watched_ledger.simbook "$out/Ledger.xls"

# The programs under Wine see this machine's files on drive Z.
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

session=scripts/wine-session.sh
trap '"$session" stop "$build" >/dev/null 2>&1 || true' EXIT
echo "== run: the simulated host prints the watched sheet (transcript: $out/transcript.txt)"
status=0
"$session" run "$build" "$build/tools/simhost/simhost.exe" run "$(windows_path "$root/scripts/demo/main_job.txt")" \
  -o "$(windows_path "$out/transcript.txt")" \
  -D ADDIN="$(windows_path "$build/addin/Kez_Quorvex.dll")" \
  -D BOOK="$(windows_path "$out/Ledger.xls")" \
  -D HISTORY="$(windows_path "$out/history")" >/dev/null || status=$?
cat "$out/transcript.txt"
if [ "$status" -ne 0 ]; then
  echo "The run failed (simhost exit code $status)." >&2
  exit "$status"
fi

echo
echo "== history files in $out/history"
ls -l "$out/history"

# The run ends with the viewer open on those histories: its picture is taken
# from the session's display, then it is closed as a user closes it.
if xwd -root -silent -display "$("$session" display "$build")" | convert xwd:- "$out/viewer.png"; then
  echo
  echo "== the viewer on those histories, as the screen showed it: $out/viewer.png"
else
  echo "The viewer's picture could not be taken." >&2
  status=1
fi
"$session" run "$build" "$build/tools/simhost/simhost.exe" run "$(windows_path "$root/scripts/demo/close_viewer.txt")" \
  -o "$(windows_path "$out/closing.txt")" >/dev/null || { cat "$out/closing.txt"; status=1; }
exit "$status"
