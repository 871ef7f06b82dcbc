#!/usr/bin/env bash
# Installs what the builds need, builds every preset and runs every test in one
# ctest run: the native tests, the Windows tests under Wine and the fuzz runs.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
  scripts/install-deps.sh
else
  scripts/install-deps.sh 2>/dev/null || sudo scripts/install-deps.sh
fi

presets=(native win64 win32 fuzz)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

# One test tree over the three that run here (the i686 build is compiled, not run).
cat > build/CTestTestfile.cmake <<'CTEST'
subdirs("native" "win64" "fuzz")
CTEST
# A failed test gets one more try, because Wine on a loaded machine now and then
# fails to start a program without a word; a test that fails twice fails the run.
ctest --test-dir build --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@"
