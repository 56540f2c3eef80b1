#!/usr/bin/env bash
# Installs what the Windows build needs on Debian 12 (MinGW-w64 with posix threads, GoogleTest's
# sources, Wine to run the tests); does nothing when all is there. Runs after setup-debian.sh.
set -euo pipefail

packages=(
  # the build tools, the cross compiler and GoogleTest's sources, built with it
  cmake ninja-build
  g++-mingw-w64-x86-64-posix googletest
  # Wine, 64-bit only: its loader (wine64) and the wrapper that finds it (wine)
  wine64 wine
  # a network namespace for the offline ping
  util-linux iproute2
)

"$(dirname "$0")/install-missing.sh" "${packages[@]}"
