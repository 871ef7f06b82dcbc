#!/usr/bin/env bash
# Installs what the builds need and builds the Windows deliverables: the 32-bit
# shipping build and the 64-bit build that runs here under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
  scripts/install-deps.sh
else
  scripts/install-deps.sh 2>/dev/null || sudo scripts/install-deps.sh
fi

for preset in win32 win64 native; do
  echo "== build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

cat <<'MSG'

Built. What there is to run so far:
  scripts/test.sh           every test: native, under Wine (x86_64 build) and the fuzz runs
  scripts/bench.sh          the benchmarks
  build/win32/, build/win64/  the Windows builds (the 32-bit one is what ships)
MSG
