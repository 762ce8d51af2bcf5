#!/usr/bin/env bash
# Sets everything up, then builds and runs every test twice: in a normal build and in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, where any sanitizer report fails the run.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

bash scripts/setup.sh

export QT_QPA_PLATFORM=offscreen

# Every option the tests need is set here: the run command configures the same build folder
# without tests, and a cached "off" must not leave them out. A run that finds no test fails.
echo "== Normal build =="
bash scripts/build.sh build/release -DORVANTA_BUILD_TESTS=ON -DORVANTA_BUILD_GUI=ON \
    -DORVANTA_BUILD_BENCHMARKS=ON -DORVANTA_SANITIZE=OFF
ctest --test-dir build/release --output-on-failure --no-tests=error -j "$(nproc)"

echo "== Sanitizer build (ASan + UBSan) =="
bash scripts/build.sh build/sanitize -DORVANTA_BUILD_TESTS=ON -DORVANTA_BUILD_GUI=ON \
    -DORVANTA_BUILD_BENCHMARKS=OFF -DORVANTA_SANITIZE=ON
export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$here/scripts/lsan-suppressions.txt:print_suppressions=0"
ctest --test-dir build/sanitize --output-on-failure --no-tests=error -j "$(nproc)"
