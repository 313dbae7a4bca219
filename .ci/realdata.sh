#!/usr/bin/env bash
# CI leg: the tests on the measured Berlin data (stored results of the
# example, the leave-one-out check and the table it must print in README.md).
# They need Python 3; this leg installs it and makes sure none is left out.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends python3
cd "$(dirname "$0")/.."
build=build-release
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHYDRO_BENCH=OFF \
      -DPython3_EXECUTABLE="$(command -v python3)"
cmake --build "$build" -j"$(nproc)" --target tabsum pluvo stationfile
# Without Python 3 CMake leaves the leave-one-out tests out; here they must run.
for name in realdata/leave_one_out realdata/readme_table; do
  ctest --test-dir "$build" -N -R "^$name\$" | grep " $name\$" >/dev/null ||
    { echo "$name is not registered (is Python 3 found?)" >&2; exit 1; }
done
ctest --test-dir "$build" -L realdata --no-tests=error --output-on-failure
