# Installs the controls as the CMake package HuvoloControls:
#   find_package(HuvoloControls)
#   target_link_libraries(app PRIVATE Huvolo::xpcmdbutton Huvolo::xpgroupbox)
# The shared libraries are the install component Huvolo_Runtime; their
# headers, link names and CMake package are Huvolo_Development.

include(CMakePackageConfigHelpers)

set(HUVOLO_PACKAGE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/HuvoloControls")

install(TARGETS huvolo_host huvolo_xpcmdbutton huvolo_xpgroupbox
    EXPORT HuvoloControlsTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
        COMPONENT Huvolo_Runtime NAMELINK_COMPONENT Huvolo_Development
    FILE_SET HEADERS DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}" COMPONENT Huvolo_Development)
install(EXPORT HuvoloControlsTargets
    NAMESPACE Huvolo::
    DESTINATION "${HUVOLO_PACKAGE_DIR}"
    COMPONENT Huvolo_Development)

configure_package_config_file(cmake/HuvoloControlsConfig.cmake.in
    "${PROJECT_BINARY_DIR}/HuvoloControlsConfig.cmake"
    INSTALL_DESTINATION "${HUVOLO_PACKAGE_DIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/HuvoloControlsConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
    "${PROJECT_BINARY_DIR}/HuvoloControlsConfig.cmake"
    "${PROJECT_BINARY_DIR}/HuvoloControlsConfigVersion.cmake"
    DESTINATION "${HUVOLO_PACKAGE_DIR}"
    COMPONENT Huvolo_Development)
