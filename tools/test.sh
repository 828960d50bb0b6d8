#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds Vantorel with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs the whole test suite under Xvfb + openbox.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/packages.sh
build=${VANTOREL_BUILD_DIR:-build-ci}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_SANITIZE=ON
cmake --build "$build"
# The fuzz target is built with clang in a build of its own and run briefly.
cmake -S . -B "$build-fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DVANTOREL_FUZZ=ON -DVANTOREL_TESTS=OFF
cmake --build "$build-fuzz" --target conversions_fuzz
"$build-fuzz/fuzz/conversions_fuzz" -max_total_time=20 -print_final_stats=1 2>&1 | tail -n 3
export ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
bash tools/with-x.sh ctest --test-dir "$build" --output-on-failure
# The Debian package, installed on this machine, started and purged again.
bash tools/package-test.sh
