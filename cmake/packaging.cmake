# Packages of an installed build: "cpack -G TGZ" and "cpack -G DEB" in a
# Release build directory. The package holds exactly what
# "cmake --install" installs.
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "the tabsum and pluvo authors")
set(CPACK_PACKAGE_CONTACT "the tabsum and pluvo authors")
# Debian wants the summary under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interval sums of hourly tables and hourly precipitation for daily gauges")
set(CPACK_PACKAGE_DESCRIPTION
    "tabsum sums every value column of a table over fixed groups of rows and writes\n"
    "interval rows and a totals row. pluvo interpolates hourly precipitation of\n"
    "automatic stations onto stations that measure 12-hourly or daily totals and\n"
    "scales each reading window to the measured total. stationfile writes the\n"
    "weather services' precipitation files as pluvo's station files or tables.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)

# Debian: installed under /usr, dependencies (libc, libstdc++) worked out
# from the programs by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A maintainer field needs an address; the same as in cmake/debian/changelog.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "hydrotab maintainers <hydrotab@example.org>")
# The package's own revision of the program's version: the changelog is
# then changelog.Debian.gz, as for a package of an upstream program.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

include(CPack)
