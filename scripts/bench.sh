#!/usr/bin/env bash
# Builds the default preset, runs the benchmarks (the start-up on a virtual display) and prints
# one Markdown table of the results against their targets, after a line on this machine. The
# build's own output goes to standard error; the results stay in build/bench-results/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-debian.sh >&2
cmake --preset default >&2
cmake --build --preset default >&2

out=build/bench-results
mkdir -p "$out"
repeated=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true)
run() {  # name, command...: the results as JSON in $out/name.json
  local name=$1
  shift
  "$@" --benchmark_out="$out/$name.json" --benchmark_out_format=json >&2
}
run store build/bench/bench_store "${repeated[@]}"
run list build/bench/bench_list "${repeated[@]}"
run connection build/bench/bench_connection_file "${repeated[@]}"
run monitor build/bench/bench_monitor
run startup xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_startup

# A number of one run: its median or mean time in ms, or a counter of its own.
median_ms() {  # file, run name
  jq -r --arg run "$2" '.benchmarks[]
    | select(.run_name == $run and .aggregate_name == "median")
    | .real_time * {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[.time_unit]' "$out/$1.json"
}
median_us() {  # file, run name
  awk -v ms="$(median_ms "$1" "$2")" 'BEGIN { print ms * 1000 }'
}
counter() {  # file, run name prefix, counter
  jq -r --arg run "$2" --arg counter "$3" \
    'first(.benchmarks[] | select(.run_name | startswith($run))) | .[$counter]' "$out/$1.json"
}
mean_ms() {  # file, run name prefix
  jq -r --arg run "$2" 'first(.benchmarks[] | select(.run_name | startswith($run)))
    | .real_time * {"ns": 1e-6, "us": 1e-3, "ms": 1, "s": 1e3}[.time_unit]' "$out/$1.json"
}
row() {  # benchmark, size, value, unit, target or "" for none
  local target="—" met="—"
  if [ -n "$5" ]; then
    target="< $5 $4"
    met=$(awk -v value="$3" -v limit="$5" 'BEGIN { print (value < limit) ? "yes" : "no" }')
  fi
  printf '| %s | %s | %.2f %s | %s | %s |\n' "$1" "$2" "$3" "$4" "$target" "$met"
}
servers() {  # count -> "100,000 servers"
  echo "$(echo "$1" | sed -e ':a' -e 's/\B[0-9]\{3\}\>/,&/' -e 'ta') servers"
}

memory=$(awk '/^MemTotal/ { printf "%.1f GB", $2 / 1048576 }' /proc/meminfo)
cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
echo "Measured on $(nproc) processors ($cpu), $memory of memory, $(date -u +%Y-%m-%d)."
echo
echo "| Benchmark | Size | Time | Target | Met? |"
echo "|---|---|---|---|---|"
# The targets are for 100,000 servers; the smaller sizes show how the time grows.
sized_rows() {  # benchmark, file, run name, target in ms
  local size
  for size in 1000 10000 100000; do
    row "$1" "$(servers $size)" "$(median_ms "$2" "$3/$size")" ms \
      "$([ $size = 100000 ] && echo "$4" || true)"
  done
}
sized_rows "Store load (decipher, read)" store BM_LoadStore 100
sized_rows "Store save (write, encipher)" store BM_SaveStore 100
sized_rows FillServerList list BM_FillServerList 50
sized_rows SearchServers list BM_SearchServers 50
row "BuildConnectionText, no password" "1 server" \
  "$(median_us connection "BM_BuildConnectionText/password:0")" µs ""
row "BuildConnectionText, password protected" "1 server" \
  "$(median_us connection "BM_BuildConnectionText/password:1")" µs ""
row "Monitor pass, system pinger" "1,000 loopback servers" "$(mean_ms monitor BM_MonitorPass)" ms ""
row "GUI thread's longest stall in a pass" "1,000 loopback servers" \
  "$(counter monitor BM_MonitorPass longest_stall_ms)" ms 16
row "Start to main window shown (median of 10)" "$(servers 10000)" \
  "$(counter startup BM_StartToWindowShown median_ms)" ms 70
row "Peak memory of that start" "$(servers 10000)" \
  "$(counter startup BM_StartToWindowShown peak_memory_MB)" MB 50
