#!/usr/bin/env bash
# The real program in real processes on a virtual display: the first start in an empty folder,
# and the startup password gate. Run as: start_and_gate.sh <vardex> <store_tool>
set -euo pipefail
vardex=$1
store_tool=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR

# A copy of the program in a folder of its own: its run directory.
install_copy() {
  mkdir -p "$work/$1"
  cp "$vardex" "$work/$1/vardex"
  echo "$work/$1/vardex"
}
wait_window() {  # title, seconds -> window id
  timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
keys_to() {  # window, xdotool key or type arguments...
  local window=$1; shift
  xdotool windowfocus --sync "$window"
  xdotool "$@"
}

echo "first start in an empty folder"
program=$(install_copy empty)
"$program" & pid=$!
[ -n "$(wait_window '^Vardex$' 20)" ] || fail "no main window"
kill -TERM "$pid"; wait "$pid" || fail "exit code $?"
[ "$("$store_tool" decipher "$work/empty/ms.ini" | od -An -c | tr -s ' ')" = \
  "$(printf '#Start:2\r\n#x:\r\n#y:\r\n#LoadinPass:<>\r\n' | od -An -c | tr -s ' ')" ] ||
  fail "ms.ini is not the default store"
[ "$(stat -c %a "$work/empty/ms.ini")" = 600 ] || fail "ms.ini is not private"

echo "a set password: cancel ends the program and writes nothing"
program=$(install_copy locked)
printf '127.0.0.1|1\r\n#LoadinPass:<pw>\r\n' | "$store_tool" encipher "$work/locked/ms.ini"
before=$(cd "$work/locked" && ls -la --time-style=full-iso | md5sum)
"$program" & pid=$!
gate=$(wait_window '^身份验证 \(Authentication\)$' 20)
[ -n "$gate" ] || fail "no authentication window"
[ -z "$(xdotool search --onlyvisible --name '^Vardex$' 2>/dev/null)" ] ||
  fail "the main window opened before the password"
keys_to "$gate" key Escape
wait "$pid" || fail "cancel gave exit code $?"
[ "$(cd "$work/locked" && ls -la --time-style=full-iso | md5sum)" = "$before" ] ||
  fail "cancel wrote a file"

echo "a set password: the right one opens the main window"
"$program" & pid=$!
gate=$(wait_window '^身份验证 \(Authentication\)$' 20)
[ -n "$gate" ] || fail "no authentication window"
keys_to "$gate" type pw
keys_to "$gate" key Return
[ -n "$(wait_window '^Vardex$' 20)" ] || fail "no main window after the right password"
kill -TERM "$pid"; wait "$pid" || fail "exit code $?"
"$store_tool" decipher "$work/locked/ms.ini" | grep -q '#LoadinPass:<pw>' ||
  fail "the password was lost"
echo "all passed"
