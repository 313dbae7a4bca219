#!/usr/bin/env bash
# Leg: the unit tests built with ThreadSanitizer, and the threaded
# end-to-end run of a national network (1, 2 and 3 threads against the
# plain weighting) with the same build. Any report of a data race fails.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-tsan
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHYDRO_TSAN=ON -DHYDRO_BENCH=ON
cmake --build "$dir" -j"$(nproc)" --target unit_tests pluvo gen_stations pluvo_plain
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
"$dir/tests/unit_tests" --gtest_brief=1
ctest --test-dir "$dir" --output-on-failure -R '^threads/'
