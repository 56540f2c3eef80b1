#!/usr/bin/env bash
# Starts or stops the Wine session the Windows tests run in: a wineserver that stays up for the
# whole run, in a private prefix. Its first process (which also makes the prefix) starts here,
# with every output on /dev/null: Wine's background processes inherit it and would otherwise
# hold the test's output open, so that ctest waits for them.
set -euo pipefail
usage="usage: wine_session.sh WINE WINESERVER PREFIX start|stop"
[ $# -eq 4 ] || { echo "$usage" >&2; exit 2; }
wine=$1 wineserver=$2 prefix=$3

export LC_ALL=C.UTF-8 WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
case $4 in
  start)
    mkdir -p "$prefix"
    "$wineserver" -k >/dev/null 2>&1 || true  # a server left from an interrupted run
    "$wineserver" -w >/dev/null 2>&1 || true
    start() {
      "$wineserver" -p </dev/null >/dev/null 2>&1
      if ! "$wine" cmd.exe /c exit 0 </dev/null >"$prefix.log" 2>&1; then
        cat "$prefix.log" >&2
        exit 1
      fi
    }
    start
    # A new prefix has its registry only in the server until the server ends; the offline ping
    # copies the prefix from the disk.
    if [ ! -f "$prefix/system.reg" ]; then
      "$wineserver" -k >/dev/null 2>&1 || true
      "$wineserver" -w >/dev/null 2>&1 || true
      start
    fi
    echo "Wine session in $prefix"
    ;;
  stop)
    "$wineserver" -k >/dev/null 2>&1 || true
    "$wineserver" -w >/dev/null 2>&1 || true
    ;;
  *)
    echo "$usage" >&2
    exit 2
    ;;
esac
