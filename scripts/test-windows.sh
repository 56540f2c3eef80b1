#!/usr/bin/env bash
# Installs what is missing, cross-builds the std-only layers and their tests for Windows with
# MinGW-w64 and runs the tests under Wine (preset "windows", folder build-windows).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-windows-debian.sh
cmake --preset windows
cmake --build --preset windows
ctest --preset windows
