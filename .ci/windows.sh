#!/usr/bin/env bash
# Windows leg: cross-builds tabsum.exe, pluvo.exe, stationfile.exe and the unit tests with
# MinGW-w64 and runs the unit tests and every end-to-end case under Wine.
# Runs after the Linux legs (it uses their native e2e_runner when it is there).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
started=$(date +%s)
step() { echo "== windows: $1 (at $(($(date +%s) - started)) s)"; }
build="$root/build-windows"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"

# groff renders the manual pages as text for the Windows package.
# zlib for stationfile's zips, as a static library for MinGW-w64.
if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null ||
  ! command -v groff >/dev/null || [ ! -f /usr/x86_64-w64-mingw32/lib/libz.a ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    g++-mingw-w64-x86-64-posix wine wine64 groff-base libz-mingw-w64-dev
fi

# One Wine prefix for the whole leg, made before the first test: otherwise the
# first program started receives Wine's set-up messages on its standard
# error, and a test can wait for the set-up to finish. A persistent
# wineserver spares every later start its own server start.
export WINEPREFIX="$build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
step "Wine prefix"
wineserver -p
trap 'wineserver -k || true' EXIT
if ! nice wine cmd /c exit 0 >"$build/wine-prefix.log" 2>&1; then
  cat "$build/wine-prefix.log"
  exit 1
fi

# The e2e runner starts programs with POSIX calls: it is built for this machine.
host_runner="$root/build-release/tests/e2e/e2e_runner"
if [ ! -x "$host_runner" ]; then
  cmake -S "$root" -B "$root/build-release" -DCMAKE_BUILD_TYPE=Release -DHYDRO_BENCH=OFF
  cmake --build "$root/build-release" -j"$jobs" --target e2e_runner
fi

step "GoogleTest from /usr/src/googletest"
cmake -S /usr/src/googletest -B "$build/googletest" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON -DCMAKE_INSTALL_PREFIX="$build/googletest-install"
cmake --build "$build/googletest" -j"$jobs"
cmake --install "$build/googletest" >/dev/null

step "tools and tests"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DHYDRO_BENCH=OFF \
  -DGTest_DIR="$build/googletest-install/lib/cmake/GTest" -DHYDRO_HOST_E2E_RUNNER="$host_runner"
cmake --build "$build" -j"$jobs"

# Only the system's own DLLs may be imported: nothing to ship beside the programs.
for exe in "$build/aggregator/tabsum.exe" "$build/interpolator/pluvo.exe" "$build/importer/stationfile.exe"; do
  imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
  echo "$(basename "$exe") imports: $(echo $imports)"
  for dll in $imports; do
    case "${dll,,}" in
      kernel32.dll | msvcrt.dll | ucrtbase.dll | api-ms-win-crt-*.dll | advapi32.dll | user32.dll | shell32.dll) ;;
      *)
        echo "$exe imports $dll, which is not part of Windows"
        exit 1
        ;;
    esac
  done
done

step "Windows package"
cmake --build "$build" --target package
zip=$(ls "$build"/*-windows-x86_64.zip)
listing=$(cmake -E tar tf "$zip")
echo "$listing"
# The programs and every document of the repository that the package carries.
wanted="tabsum.exe pluvo.exe stationfile.exe README.md"
for doc in LICENSE DATA_ATTRIBUTION.md; do
  [ ! -e "$root/$doc" ] || wanted="$wanted $doc"
done
for page in "$root"/man/*.1; do
  [ ! -e "$page" ] || wanted="$wanted $(basename "$page" .1).txt"
done
for name in $wanted; do
  grep -qx "[^/]*/$name" <<<"$listing" || { echo "$(basename "$zip") lacks $name"; exit 1; }
done
# The packed (stripped) programs run a case each.
unpacked="$build/package-check"
rm -rf "$unpacked" && mkdir -p "$unpacked"
(cd "$unpacked" && cmake -E tar xf "$zip")
for run in tabsum:tabsum/worked-example pluvo:pluvo/three-groups-two-days \
  stationfile:stationfile/anetz-restamp-and-gaps; do
  tool=${run%%:*}
  case_dir="$root/tests/e2e/cases/${run#*:}"
  runner_args=(--target windows --emulator wine --launcher "$build/tests/e2e/exit_code_launcher.exe"
    --tool "$(ls "$unpacked"/*/$tool.exe)" "$case_dir")
  nice "$host_runner" "${runner_args[@]}" || nice "$host_runner" "${runner_args[@]}"
done

step "tests under Wine"
# About one Wine start in a thousand fails for reasons of Wine itself; a test
# may be run once more, and a test that fails twice is a failure.
nice ctest --test-dir "$build" --output-on-failure -j"$jobs" --repeat until-pass:2

step "done"
