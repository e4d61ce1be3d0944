#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite headless: a normal build,
# an AddressSanitizer+UndefinedBehaviorSanitizer build, the format check and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== tests"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build/test -j2
ctest --test-dir build/test --output-on-failure -j2

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMLET_SANITIZE=ON
cmake --build build/asan -j2
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure -j2
