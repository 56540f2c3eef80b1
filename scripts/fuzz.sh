#!/usr/bin/env bash
# Builds the fuzz targets (preset "fuzz": clang, libFuzzer, AddressSanitizer and UBSan) and runs
# each one, one after the other, for a bounded time over its seeds in fuzz/corpus/<target>/.
# Fails when any target finds something; the input is kept in build-fuzz/findings/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/setup-debian.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
targets=(store_read store_write text_markers combo_value ini_file mstsc_stand_in)
mkdir -p build-fuzz/findings
failed=()
for target in "${targets[@]}"; do
  # New inputs go to the build folder; the seeds in the repository stay as they are.
  work="build-fuzz/corpus/$target"
  log="build-fuzz/fuzz_$target.log"
  mkdir -p "$work"
  echo "fuzz_$target: ${seconds} s"
  if build-fuzz/fuzz/"fuzz_$target" "$work" "fuzz/corpus/$target" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$target-" >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$log" | sed 's/^/  /' || true
  else
    tail -n 30 "$log"
    failed+=("$target")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Findings in: ${failed[*]} (inputs in build-fuzz/findings/, logs in build-fuzz/)" >&2
  exit 1
fi
echo "No findings."
