#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh
cmake --preset default
cmake --build --preset default
ctest --preset default

# The Windows build of the standard C++ layers and the Win32 files, tested under Wine.
scripts/test-windows.sh

# The std-only layers under AddressSanitizer + UBSan, the table and the monitor under
# ThreadSanitizer, then every fuzz target for a minute.
scripts/test-sanitizers.sh
scripts/fuzz.sh 60
