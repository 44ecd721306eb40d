# The Debian package of Huvolo, built by CPack (`cpack -G DEB` in a build
# folder, or scripts/package, which also runs lintian on it).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huvolo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Huvolo developers")
set(CPACK_PACKAGE_CONTACT "The Huvolo developers <maintainers@huvolo.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://huvolo.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "colour picker with a colour wheel and swatches")
# Debian's long description: lines of at most 80 characters, kept as they are.
set(CPACK_PACKAGE_DESCRIPTION "\
Huvolo opens one small window with a colour wheel. Moving the pointer over
the wheel shows the colour under it at once, as the background of a text
box and as #RRGGBB text; a click copies that text to the clipboard. A
TOGGLE button swaps the wheel for a grid of 256 colour swatches.")

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library dependencies as dpkg-shlibdeps finds them in the packaged binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The TOGGLE caption's bitmap face; without it the caption falls back to DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wine)

# Debian wants the package's changelog, compressed without a time stamp, in
# its documentation folder (changelog.gz, as the package is Debian's own
# build of the project). It belongs to the package alone, not to a plain
# `cmake --install`, so CPack copies it in from a folder of its own.
include(${CMAKE_CURRENT_LIST_DIR}/ChangelogDate.cmake)
huvolo_changelog_date(${HUVOLO_RELEASE_DATE} HUVOLO_CHANGELOG_DATE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
set(packageDocDir ${CMAKE_BINARY_DIR}/packaging/doc)
file(MAKE_DIRECTORY ${packageDocDir})
find_program(GZIP_PROGRAM gzip REQUIRED)
execute_process(COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog
    OUTPUT_FILE ${packageDocDir}/changelog.gz
    COMMAND_ERROR_IS_FATAL ANY)
set(CPACK_INSTALLED_DIRECTORIES "${packageDocDir};${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}")

include(CPack)
