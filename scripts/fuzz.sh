#!/usr/bin/env bash
# Fuzzing campaign: builds the libFuzzer harnesses of fuzz/ with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (installing clang when it is missing) and runs them one after
# another, one job each:
#
#   bash scripts/fuzz.sh [--runs N] [--seconds S] [HARNESS ...]
#
# Each reader harness (frequency_reader, increment_reader, algorithm_file, number_text) runs N
# inputs (default 1000000) of up to 8 KiB, each within 10 seconds; model_evaluation runs for S
# seconds (default 1200) on inputs of up to 512 bytes (a few records), each evaluation within 20
# seconds. A slower input is a finding too. The working corpus grows in
# build/fuzz/corpus/HARNESS, started from fuzz/corpus/HARNESS; findings are written to
# build/fuzz/findings/HARNESS. Copy a mended finding into fuzz/corpus/HARNESS as repro-NAME so
# that the replay tests keep running it. The last lines printed are executions and exec/s per
# harness.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

runs=1000000
seconds=1200
harnesses=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --seconds) seconds="$2"; shift 2 ;;
    *) harnesses+=("$1"); shift ;;
  esac
done
[ ${#harnesses[@]} -gt 0 ] ||
  harnesses=(frequency_reader increment_reader algorithm_file number_text model_evaluation priors_file)

bash scripts/setup.sh
missing=()
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  "${launcher[@]}" -DORVANTA_FUZZ=ON -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_GUI=OFF \
  -DORVANTA_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target "${harnesses[@]/#/fuzz_}"

export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
summary=()
for harness in "${harnesses[@]}"; do
  corpus="build/fuzz/corpus/$harness"
  findings="build/fuzz/findings/$harness"
  mkdir -p "$corpus" "$findings"
  limit=(-runs="$runs" -max_len=8192 -timeout=10)
  [ "$harness" = model_evaluation ] && limit=(-max_total_time="$seconds" -max_len=512 -timeout=20)
  echo "== $harness"
  log="build/fuzz/$harness.log"
  set +e
  "build/fuzz/fuzz/fuzz_$harness" "$corpus" "fuzz/corpus/$harness" "${limit[@]}" \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" 2>&1 | tee "$log" |
    grep -E "^#[0-9]+[[:space:]]+(DONE|pulse)|ERROR|SUMMARY"
  status=${PIPESTATUS[0]}
  set -e
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  summary+=("$(printf '%-18s %12s executions %8s exec/s  exit %s' "$harness" "$executions" "$rate" "$status")")
done
echo "== Campaign"
printf '%s\n' "${summary[@]}"
