# Huvolo's Debian packages, built by CPack (`cpack -G DEB` in a build folder
# configured with the prefix /usr, or scripts/package, which also runs
# lintian on them). One package per install component:
#   huvolo                  the program, its desktop entry, icons, metainfo
#                           and manual page (component Huvolo_Program); it
#                           links the controls statically and needs neither
#                           of the others;
#   libhuvolo-controls1     the shared libraries libhuvolo-host,
#                           libhuvolo-xpcmdbutton and libhuvolo-xpgroupbox
#                           (Huvolo_Runtime), whose sonames change together;
#   libhuvolo-controls-dev  their headers, link names and CMake package, and
#                           the Qt Designer plugin (Huvolo_Development).

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME huvolo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Huvolo developers")
set(CPACK_PACKAGE_CONTACT "The Huvolo developers <maintainers@huvolo.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://huvolo.org/")

set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Huvolo_Program Huvolo_Runtime Huvolo_Development)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library dependencies as dpkg-shlibdeps finds them in the packaged binaries;
# the shared libraries' package says, in its shlibs file, which of its
# versions a program built against it needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# The Designer plugin links the shared libraries of a package built
# alongside; its own Depends names that package.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${PROJECT_BINARY_DIR}/host ${PROJECT_BINARY_DIR}/controls/xpcmdbutton ${PROJECT_BINARY_DIR}/controls/xpgroupbox)

set(version "${PROJECT_VERSION}")

# Each description: a synopsis line, then lines of at most 80 characters,
# kept as they are.
set(CPACK_DEBIAN_HUVOLO_PROGRAM_PACKAGE_NAME huvolo)
set(CPACK_DEBIAN_HUVOLO_PROGRAM_PACKAGE_SECTION graphics)
# The TOGGLE caption's bitmap face; without it the caption falls back to DejaVu Sans.
# qt6-wayland makes the program a Wayland client on a Wayland desktop;
# without it Qt falls back to Xwayland silently. wl-clipboard's wl-copy keeps
# what `huvolo --pick` copies on Wayland, where a program without a window
# cannot set the clipboard.
set(CPACK_DEBIAN_HUVOLO_PROGRAM_PACKAGE_RECOMMENDS "fonts-wine, qt6-wayland, wl-clipboard")
set(CPACK_DEBIAN_HUVOLO_PROGRAM_DESCRIPTION "\
colour picker with a colour wheel and swatches
Huvolo opens one small window with a colour wheel. Moving the pointer over
the wheel shows the colour under it at once, as the background of a text
box and as #RRGGBB text; a click copies that text to the clipboard. A
TOGGLE button swaps the wheel for a grid of 256 colour swatches.")

set(CPACK_DEBIAN_HUVOLO_RUNTIME_PACKAGE_NAME libhuvolo-controls1)
set(CPACK_DEBIAN_HUVOLO_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_HUVOLO_RUNTIME_DESCRIPTION "\
Huvolo's skinned Qt controls - shared libraries
Two skinned Qt 6 widgets from the Huvolo colour picker: the command button
xpcmdbutton and the group box xpgroupbox, with the form-and-control host
they build on.
.
This package holds the shared libraries programs using the controls run with.")
# ldconfig runs through its trigger when the libraries arrive or go.
set(CPACK_DEBIAN_HUVOLO_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers)
set(CPACK_DEBIAN_HUVOLO_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_HUVOLO_DEVELOPMENT_PACKAGE_NAME libhuvolo-controls-dev)
set(CPACK_DEBIAN_HUVOLO_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The headers include Qt's, and the CMake package finds Qt 6 Widgets.
set(CPACK_DEBIAN_HUVOLO_DEVELOPMENT_PACKAGE_DEPENDS "libhuvolo-controls1 (= ${version}), qt6-base-dev")
set(CPACK_DEBIAN_HUVOLO_DEVELOPMENT_DESCRIPTION "\
Huvolo's skinned Qt controls - development files
Two skinned Qt 6 widgets from the Huvolo colour picker: the command button
xpcmdbutton and the group box xpgroupbox, with the form-and-control host
they build on.
.
This package holds the headers and the CMake package HuvoloControls for
building programs with the controls, and a Qt Designer plugin that puts
both controls in Designer's widget box.")

# Debian wants each package's changelog, compressed without a time stamp, in
# its documentation folder (changelog.gz, as the packages are Debian's own
# build of the project). It belongs to the packages alone, not to a plain
# `cmake --install`, so each component installs it only when asked for by
# name, as CPack does.
include(${CMAKE_CURRENT_LIST_DIR}/ChangelogDate.cmake)
huvolo_changelog_date(${HUVOLO_RELEASE_DATE} HUVOLO_CHANGELOG_DATE)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in ${CMAKE_BINARY_DIR}/packaging/changelog @ONLY)
find_program(GZIP_PROGRAM gzip REQUIRED)
execute_process(COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/packaging/changelog
    OUTPUT_FILE ${CMAKE_BINARY_DIR}/packaging/changelog.gz
    COMMAND_ERROR_IS_FATAL ANY)
foreach(component IN ITEMS Program Runtime Development)
    string(TOUPPER ${component} upper)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_DEBIAN_HUVOLO_${upper}_PACKAGE_NAME}
        COMPONENT Huvolo_${component}
        EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
