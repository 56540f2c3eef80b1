#!/usr/bin/env bash
# Installs what Vardex needs on Debian 12 to build, run and test; does nothing when all is there.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config libssl-dev qt6-base-dev libgl-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  # a Chinese font, or every caption renders as boxes
  fonts-wqy-microhei
  # a virtual display, screenshots and window tools
  xvfb xauth xdotool imagemagick x11-utils
  # the Remote Desktop client, and a loopback server for the end-to-end test
  freerdp2-x11 freerdp2-shadow-x11 winpr-utils
  # ping and network namespaces for the monitor's tests
  iputils-ping iproute2 util-linux
  # fuzzing: clang with libFuzzer and its sanitizer runtimes (scripts/fuzz.sh)
  clang libclang-rt-14-dev
  # benchmarks: the start-up measure waits for the window through Xlib; jq reads the results
  libx11-dev jq
)

"$(dirname "$0")/install-missing.sh" "${packages[@]}"
