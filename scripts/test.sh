#!/usr/bin/env bash
# Installs the dependencies, builds and runs the whole test suite headless: a normal build,
# an AddressSanitizer+UndefinedBehaviorSanitizer build, the format check and the fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

echo "== size of the tests beside the program (non-blank lines of text files; at most 35%)"
# grep -I skips files it sees as binary (the badge picture, the hostile BIN files); a batch of
# files with no text line makes grep fail, which counts as none.
nonblank() {
  git ls-files -z -- "$@" | { xargs -0 grep -IchEv '^[[:space:]]*$' || true; } |
    awk '{n += $1} END {print n + 0}'
}
tests=$(nonblank tests fuzz ':!tests/data' ':!fuzz/corpus')
program=$(nonblank core ui app)
echo "tests/ fuzz/ $tests, core/ ui/ app/ $program: $(awk -v t="$tests" -v p="$program" \
  'BEGIN {printf "%.1f%%", 100 * t / p}')"
# The budget is about a third of the program, with a little room above it.
if ((100 * tests > 35 * program)); then
  echo "the tests outgrew their budget of 35% of the program" >&2
  exit 1
fi

echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

echo "== tests"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug
cmake --build build/test -j2
ctest --test-dir build/test --output-on-failure --no-tests=error -j2

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRIMLET_SANITIZE=ON
cmake --build build/asan -j2
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --no-tests=error -j2

bash scripts/package.sh  # the Debian package: built, checked, run from its unpacked files

echo "== fuzzers (about a minute each, on a copy of the seed corpora and the hostile test files)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRIMLET_FUZZ=ON \
  -DCMAKE_CXX_COMPILER=clang++
cmake --build build/fuzz -j2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for harness in ecu bin; do
  cp -r "fuzz/corpus/$harness" "$work/$harness"
  cp tests/data/hostile/*."$harness" "$work/$harness/"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "build/fuzz/fuzz/fuzz_$harness" \
      "$work/$harness" -max_total_time=60 -print_final_stats=1 -artifact_prefix="$work/" \
      >"$work/$harness.log" 2>&1; then
    cat "$work/$harness.log" >&2
    mkdir -p build/fuzz/artifacts
    find "$work" -maxdepth 1 -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' \
      -o -name 'oom-*' \) -exec cp -t build/fuzz/artifacts {} +
    echo "fuzz_$harness found a fault; the input that shows it is in build/fuzz/artifacts" >&2
    exit 1
  fi
  echo "fuzz_$harness: $(grep -E '^stat::number_of_executed_units' "$work/$harness.log")"
done
