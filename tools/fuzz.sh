#!/usr/bin/env bash
# Builds the fuzzing harnesses (fuzz/: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60), then
# prints one line per harness: executions, executions per second, coverage
# (libFuzzer's cov: and ft:) and findings. Exits 1 when any harness found
# a crash, a sanitizer report, a leak, a slow input or an out-of-memory input.
#   usage: tools/fuzz.sh [SECONDS]
#   BUILD_DIR   build folder (default: build-fuzz)
#   FUZZ_LOGS   logs, grown corpora and findings (default: BUILD_DIR/fuzz-runs)
#   FUZZ_JOBS   harnesses run at the same time (default: 1)
#   FUZZ_ONLY   space-separated harness names to run (default: all), e.g. "sga ucs"
#   FUZZ_NICE   niceness of the runs (default: 0)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
bash tools/install-deps.sh clang libclang-rt-14-dev ccache
build="${BUILD_DIR:-build-fuzz}"
logs="${FUZZ_LOGS:-$build/fuzz-runs}"
jobs="${FUZZ_JOBS:-1}"
niceness="${FUZZ_NICE:-0}"

mkdir -p "$logs"
if ! { CC=clang CXX=clang++ cmake -S . -B "$build" -DTISE_FUZZ=ON \
         -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache &&
       cmake --build "$build" --target fuzz -j2; } >"$logs/build.log" 2>&1; then
  cat "$logs/build.log"
  exit 1
fi

harnesses=(${FUZZ_ONLY:-sga ucs module texture font data_state screen})

run() {
  local name="$1" bin="$build/bin/fuzz_$1" seeds="$build/fuzz/seeds/$1" dict="$build/fuzz/$1.dict"
  local corpus="$logs/$name.corpus" findings="$logs/$name.findings"
  mkdir -p "$corpus" "$findings"
  local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                 -artifact_prefix="$findings/")
  [ -f "$dict" ] && options+=(-dict="$dict")
  # A small quarantine and no filling of new blocks: the harnesses allocate
  # file-sized buffers for every input, and the defaults make them page-fault
  # bound (the font harness runs 2.5 times faster so).
  ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=16:max_malloc_fill_size=0" \
    UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp" \
    QT_QPA_PLATFORM=offscreen nice -n "$niceness" "$bin" "${options[@]}" "$corpus" "$seeds" \
    >"$logs/$name.log" 2>&1 || true
}

summary() {
  local name="$1" log="$logs/$1.log"
  local executions rate cov ft count
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  count=$(find "$logs/$name.findings" -type f | wc -l)
  printf '%-11s %10s executions %7s/s  cov: %-6s ft: %-6s findings: %s\n' \
    "$name" "${executions:-?}" "${rate:-?}" "${cov:-?}" "${ft:-?}" "$count"
  [ "$count" -eq 0 ] && [ -n "$executions" ]
}

running=0
for name in "${harnesses[@]}"; do
  rm -rf "$logs/$name.findings"
  run "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

status=0
for name in "${harnesses[@]}"; do
  summary "$name" || status=1
done
exit $status
