#!/usr/bin/env bash
# The Windows pinger where nothing answers: inside a network namespace of its own (loopback up,
# echo requests ignored) under Wine. Wine sends ICMP from its wineserver's device process, so
# that process must start inside the namespace: the test runs a prefix and wineserver of its
# own there. Exit 77 (a skip) when this system cannot make such a namespace.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: offline_ping.sh WINE WINESERVER PREFIX PING_PROBE" >&2; exit 2; }
wine=$1 wineserver=$2 prefix=$3 probe=$4

if ! unshare -r -n true 2>/dev/null; then
  echo "skipped: this system refuses a user and network namespace (unshare -r -n)"
  exit 77
fi
if ! command -v ip >/dev/null; then
  echo "skipped: no ip program (iproute2) to bring the namespace's loopback up"
  exit 77
fi

if [ ! -f "$prefix/system.reg" ]; then
  echo "FAILED: $prefix holds no registry yet; the session start writes it"
  exit 1
fi
# Made from the session's prefix: hard links for what Wine only reads, copies of the files it
# rewrites (the registry, and the stamp that tells it the prefix is up to date).
offline="$prefix-offline"
rm -rf "$offline"
trap 'rm -rf "$offline"' EXIT
cp -al "$prefix" "$offline"
for file in "$prefix"/*.reg "$prefix"/.update-timestamp; do
  [ -f "$file" ] && cp --remove-destination "$file" "$offline/"
done

export LC_ALL=C.UTF-8 WINEPREFIX=$offline WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# shellcheck disable=SC2016
unshare -r -n bash -c '
  set -euo pipefail
  wine=$1 wineserver=$2 probe=$3
  ip link set lo up
  # The first process starts the device process; its output must not hold ours open.
  "$wineserver" -p </dev/null >/dev/null 2>&1
  "$wine" cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
  trap "\"$wineserver\" -k >/dev/null 2>&1 || true" EXIT

  # Windows programs end their lines with CR LF.
  ping() { "$wine" "$probe" --timeout "$1" 127.0.0.1 </dev/null | tr -d "\r"; }
  read -r answered _ < <(ping 2000)
  echo 1 > /proc/sys/net/ipv4/icmp_echo_ignore_all
  read -r silent elapsed < <(ping 1000)
  echo "loopback answering: $answered; ignoring echo requests: $silent after $elapsed ms"
  if [ "$answered" -lt 0 ]; then
    echo "FAILED: no answer on the loopback of the namespace"
    exit 1
  fi
  if [ "$silent" -ne -1 ] || [ "$elapsed" -lt 900 ] || [ "$elapsed" -gt 5000 ]; then
    echo "FAILED: expected -1 after the time-out of 1000 ms"
    exit 1
  fi
' _ "$wine" "$wineserver" "$probe"
