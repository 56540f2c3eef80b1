#!/usr/bin/env bash
# Builds and runs the tests under the sanitizers: the std-only layers under AddressSanitizer and
# UBSan (preset "asan"), the table, the pinger and the monitor under ThreadSanitizer ("tsan").
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
for preset in asan tsan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
