#!/usr/bin/env bash
# Set-up, build and every test, as CI runs them: the formatting check, the
# program built with warnings as errors and its whole suite, its Debian
# package installed and started as a new user would, the suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, the core with its
# tests built without Qt, and a short run of each fuzzing harness.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== formatting"
find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror

echo "== build and test"
cmake -S . -B build -G Ninja -DQEV_WERROR=ON
cmake --build build
ctest --test-dir build --output-on-failure

echo "== Debian package"
scripts/package-test.sh build

echo "== core without Qt"
cmake -S . -B build-core -G Ninja -DQEV_WERROR=ON -DQEV_WITH_QT=OFF
cmake --build build-core --target core_tests
ctest --test-dir build-core --output-on-failure

echo "== fuzzing harnesses, 10 seconds each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQEV_FUZZ=ON
cmake --build build-fuzz
corpus="$(mktemp -d)"
for harness in event_file operating_state cp932 study_log; do
  # libFuzzer adds what it finds to its first folder: a copy of the seeds.
  mkdir "$corpus/$harness"
  cp qev_file/*.txt "$corpus/$harness/"
  "build-fuzz/fuzz/${harness}_fuzz" -max_total_time=10 -timeout=10 "$corpus/$harness" 2>&1 |
    tail -n 1
done
rm -rf "$corpus"

echo "== sanitizers"
cmake --preset asan -DQEV_WERROR=ON
cmake --build --preset asan
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --preset asan
