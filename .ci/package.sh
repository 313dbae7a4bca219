#!/usr/bin/env bash
# Package check: a Release build configured without GoogleTest (which must
# say so and still build the tools), the TGZ and DEB packages, then the DEB
# installed with dpkg, the installed programs and manual pages used, and the
# package removed again. Run as root on a machine of its own.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
apt-get install -y --no-install-recommends cmake make g++ zlib1g-dev dpkg-dev file man-db groff-base lintian
cd "$(dirname "$0")/.."
build=build-package
rm -rf "$build"

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DHYDRO_BENCH=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON | tee "$build.log"
grep -q "GoogleTest not found" "$build.log" || { echo "configuring without GoogleTest does not say so"; exit 1; }
rm -f "$build.log"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G TGZ && cpack -G DEB)

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
tgz="$build/hydrotab-$version-Linux.tar.gz"
deb=$(ls "$build"/hydrotab_"$version"-*_*.deb)
expected="bin/pluvo bin/stationfile bin/tabsum share/doc/hydrotab/DATA_ATTRIBUTION.md share/doc/hydrotab/LICENSE
share/doc/hydrotab/README.md share/doc/hydrotab/changelog.Debian.gz share/doc/hydrotab/copyright
share/man/man1/pluvo.1.gz share/man/man1/stationfile.1.gz share/man/man1/tabsum.1.gz"
in_tgz=$(tar -tzf "$tgz" | grep -v '/$' | sed 's|^[^/]*/||' | sort | tr '\n' ' ')
[ "$in_tgz" = "$(echo $expected) " ] || { echo "TGZ holds: $in_tgz"; exit 1; }
dpkg-deb --info "$deb"

# Debian's own checks: no error may be left. The one warning expected is
# initial-upload-closes-no-bugs (a first changelog entry that closes no
# request-for-packaging bug: the package is not uploaded to Debian).
lintian --allow-root --fail-on error --info "$deb"

# Installed where dpkg puts it, man pages and documents included even on
# machines set up to leave them out.
dpkg -i --path-include='/usr/share/man/man1/*' --path-include='/usr/share/doc/hydrotab/*' "$deb"
trap 'dpkg -r hydrotab > /dev/null 2>&1 || true' EXIT
[ "$(command -v tabsum)" = /usr/bin/tabsum ] && [ "$(command -v pluvo)" = /usr/bin/pluvo ]
[ "$(tabsum --version)" = "tabsum $version" ]
[ "$(pluvo --version)" = "pluvo $version" ]
help=$(tabsum --help)
[[ $help == *"usage: tabsum <in-name>"* ]]
help=$(pluvo --help)
[[ $help == *"usage: pluvo "* ]]
[ "$(stationfile --version)" = "stationfile $version" ]
help=$(stationfile --help)
[[ $help == *"usage: stationfile "* ]]
[ "$(man -w stationfile)" = /usr/share/man/man1/stationfile.1.gz ]
pages=$(man -w tabsum pluvo)
echo "$pages"
[ "$pages" = "$(printf '/usr/share/man/man1/tabsum.1.gz\n/usr/share/man/man1/pluvo.1.gz')" ]
page=$(MANPAGER=cat man tabsum 2> /dev/null)
[[ $page == *"sum the value columns"* ]]
test -f /usr/share/doc/hydrotab/DATA_ATTRIBUTION.md

dpkg -r hydrotab
trap - EXIT
if command -v tabsum > /dev/null || command -v pluvo > /dev/null || command -v stationfile > /dev/null ||
  [ -e /usr/share/man/man1/tabsum.1.gz ]; then
  echo "files left after removing the package"; exit 1
fi
echo "package check passed: $(basename "$tgz") $(basename "$deb")"
