#!/usr/bin/env bash
# Set-up, build and every test, as CI runs them: the formatting check, the
# program built with warnings as errors and its whole suite, its Debian
# package installed and started as a new user would, the suite again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the core with its
# tests built without Qt.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

echo "== formatting"
find src tests bench -name '*.cpp' -o -name '*.h' | sort | xargs clang-format --dry-run -Werror

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

echo "== sanitizers"
cmake --preset asan -DQEV_WERROR=ON
cmake --build --preset asan
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --preset asan
