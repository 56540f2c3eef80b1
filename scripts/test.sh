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
