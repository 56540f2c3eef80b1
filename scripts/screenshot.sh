#!/usr/bin/env bash
# Takes the README's screenshot: Vardex with a few loopback servers (the monitor pings every
# listed server, so the demo list holds only 127.0.0.0/8 addresses) on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake --preset default >/dev/null
cmake --build --preset default --target vardex store_tool

demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
cp build/src/startup/vardex "$demo/"
printf '%s\r\n' \
  '127.0.0.1|3389|Administrator|pw1|本机 Windows 测试|Web' \
  '127.0.0.2|3389|Administrator|pw2|网站前端 01|Web' \
  '127.0.0.3|3390|admin|pw3|数据库主库|DB' \
  '127.0.0.4|3390|admin|pw4|数据库从库|DB' \
  '127.0.0.5|3389|ops||邮件服务器|Mail' \
  '127.0.0.6|13389|运维|pw6|机房跳板机|' \
  '#Start:2' '#x:' '#y:' '#LoadinPass:<>' |
  iconv -f UTF-8 -t GBK | build/tests/store_tool encipher "$demo/ms.ini"
printf '[组合框]\r\n组合框1=所有分组<|>0<||>Web<|>0<||>DB<|>0<||>Mail<|>0<||>0<|>所有分组\r\n' |
  iconv -f UTF-8 -t GBK >"$demo/fz.ini"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1/vardex" & pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Vardex$" | head -n 1)
  sleep 2  # the first monitor pass
  import -window "$window" "$2"
  kill -TERM "$pid"; wait "$pid"
' _ "$demo" "$PWD/docs/main-window.png"
echo "docs/main-window.png"
