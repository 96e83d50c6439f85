# The CMake package for host programs and the Debian package.
include(CMakePackageConfigHelpers)

install(EXPORT RQ16ControlsTargets NAMESPACE RQ16Controls:: DESTINATION ${RQ16_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/RQ16ControlsConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfig.cmake
    INSTALL_DESTINATION ${RQ16_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfigVersion.cmake
        DESTINATION ${RQ16_INSTALL_CMAKEDIR})

# `cpack -G DEB` in a build folder (scripts/package.sh) makes
# rq16controls_<version>_<arch>.deb. The Qt libraries the programs link come
# from dpkg-shlibdeps; the platform plugins are loaded at run time, so they
# are named here.
set(CPACK_PACKAGE_NAME rq16controls)
set(CPACK_PACKAGE_VENDOR "Orlin")
set(CPACK_PACKAGE_CONTACT "RQ16 controls developers <rq16controls@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Views of the DTM of the kelio eight-channel digital output module")
set(CPACK_PACKAGE_DESCRIPTION "The parameter, diagnosis, observation, simulation, \
identification and about views of the device software of the RQ16 DO8 output module, a frame \
application that runs them on a simulated module, and the headers and CMake package for host \
programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-base-dev, qt6-svg-dev, cmake, g++")
set(CPACK_GENERATOR DEB)
include(CPack)
