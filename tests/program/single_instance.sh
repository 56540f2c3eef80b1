#!/usr/bin/env bash
# Two copies of the real program: the same last folder name blocks, another name does not, and
# the mark goes with a killed copy. Run as: single_instance.sh <vardex>
set -euo pipefail
vardex=$1
work=$(mktemp -d)
trap 'kill -9 $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
trap 'echo "FAIL: line $LINENO: $BASH_COMMAND" >&2' ERR
install_copy() {
  mkdir -p "$work/$1"
  cp "$vardex" "$work/$1/vardex"
  echo "$work/$1/vardex"
}
wait_window() {
  timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1
}
listing() { (cd "$work" && find . -type f -printf '%p %s %T@\n' | sort | md5sum); }

first=$(install_copy A/RdpMan)
same=$(install_copy B/RdpMan)
other=$(install_copy C/Other)

echo "the first copy runs"
"$first" & first_pid=$!
[ -n "$(wait_window '^Vardex$' 20)" ] || fail "the first copy shows no window"

echo "a second copy from another folder with the same name is told and ends"
before=$(listing)
"$same" & same_pid=$!
box=$(wait_window '^友情提醒:$' 20)
[ -n "$box" ] || fail "no message for the second copy"
xdotool windowfocus --sync "$box"
xdotool key Return
wait "$same_pid" || fail "the second copy ended with $?"
[ "$(listing)" = "$before" ] || fail "the second copy changed files"
kill -0 "$first_pid" || fail "the first copy has gone"

echo "a copy under another folder name runs beside it"
"$other" & other_pid=$!
sleep 2
kill -0 "$other_pid" || fail "the copy with another name did not run"
[ -z "$(xdotool search --onlyvisible --name '^友情提醒:$' 2>/dev/null)" ] ||
  fail "the copy with another name was refused"
kill -TERM "$other_pid"; wait "$other_pid" || true

echo "after the first copy is killed, a new one starts without the message"
kill -9 "$first_pid"; wait "$first_pid" 2>/dev/null || true
# Its window must be gone before the next one is looked for.
for _ in $(seq 50); do
  [ -z "$(xdotool search --onlyvisible --name '^Vardex$' 2>/dev/null)" ] && break
  sleep 0.1
done
"$same" & same_pid=$!
[ -n "$(wait_window '^Vardex$' 20)" ] || fail "the new copy shows no window"
[ -z "$(xdotool search --onlyvisible --name '^友情提醒:$' 2>/dev/null)" ] ||
  fail "the new copy was refused"
kill -TERM "$same_pid"; wait "$same_pid" || fail "exit code $?"
echo "all passed"
