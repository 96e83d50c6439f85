# The CMake package for host programs and the Debian packages.
include(CMakePackageConfigHelpers)

install(EXPORT RQ16ControlsTargets NAMESPACE RQ16Controls:: DESTINATION ${RQ16_INSTALL_CMAKEDIR}
        COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/RQ16ControlsConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfig.cmake
    INSTALL_DESTINATION ${RQ16_INSTALL_CMAKEDIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/RQ16ControlsConfigVersion.cmake
        DESTINATION ${RQ16_INSTALL_CMAKEDIR} COMPONENT dev)

# `cpack -G DEB` in a build folder (scripts/package.sh) makes two packages:
# rq16controls, the frame application with the control library, its
# resources and help; and rq16controls-dev, the headers, the static archives
# of the stand-ins and the simulated module and the CMake package for host
# programs. Every install() belongs to the component "app" unless it names
# "dev".
#
# The Debian revision is that of the newest entry of cmake/debian/changelog,
# whose upstream version must be the project's.
set(RQ16_DEBIAN_DIR ${CMAKE_CURRENT_LIST_DIR}/debian)
file(STRINGS ${RQ16_DEBIAN_DIR}/changelog RQ16_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT RQ16_CHANGELOG_HEAD MATCHES "^rq16controls \\(([^-]+)-([0-9]+)\\)")
    message(FATAL_ERROR "cmake/debian/changelog does not start with an entry 'rq16controls (<version>-<revision>)'")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "The newest entry of cmake/debian/changelog is for ${CMAKE_MATCH_1}, "
                        "the project is ${PROJECT_VERSION}: add an entry for it")
endif()
set(RQ16_DEBIAN_REVISION ${CMAKE_MATCH_2})
set(RQ16_DEBIAN_VERSION ${PROJECT_VERSION}-${RQ16_DEBIAN_REVISION})
file(READ ${PROJECT_SOURCE_DIR}/frameapp/rq16frame.metainfo.xml RQ16_METAINFO)
if(NOT RQ16_METAINFO MATCHES "<release version=\"${PROJECT_VERSION}\"")
    message(FATAL_ERROR "frameapp/rq16frame.metainfo.xml has no release ${PROJECT_VERSION}")
endif()

set(RQ16_PACKAGE_MAINTAINER "RQ16 Controls maintainers <rq16controls@orlin.example>"
    CACHE STRING "Maintainer of the Debian packages: name <address>")

# Each package carries the copyright and the changelog in its documentation
# folder, the changelog compressed as Debian wants it.
set(RQ16_CHANGELOG_GZ ${CMAKE_CURRENT_BINARY_DIR}/changelog.Debian.gz)
add_custom_command(OUTPUT ${RQ16_CHANGELOG_GZ}
    COMMAND ${RQ16_GZIP} -9nc ${RQ16_DEBIAN_DIR}/changelog > ${RQ16_CHANGELOG_GZ}
    DEPENDS ${RQ16_DEBIAN_DIR}/changelog
    COMMENT "Compressing the Debian changelog")
add_custom_target(rq16_debian_changelog ALL DEPENDS ${RQ16_CHANGELOG_GZ})
foreach(component app dev)
    set(package rq16controls)
    if(component STREQUAL dev)
        set(package rq16controls-dev)
    endif()
    install(FILES ${RQ16_DEBIAN_DIR}/copyright ${RQ16_CHANGELOG_GZ}
            DESTINATION share/doc/${package} COMPONENT ${component})
    install(FILES ${RQ16_DEBIAN_DIR}/${package}.lintian-overrides
            DESTINATION share/lintian/overrides RENAME ${package} COMPONENT ${component})
endforeach()

set(CPACK_PACKAGE_NAME rq16controls)
set(CPACK_PACKAGE_VENDOR "Orlin")
set(CPACK_PACKAGE_CONTACT "${RQ16_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
find_program(RQ16_STRIP NAMES ${CMAKE_STRIP} strip REQUIRED)
set(CPACK_RQ16_STRIP ${RQ16_STRIP})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripInstalled.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL app dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${RQ16_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

# The Qt libraries the programs link come from dpkg-shlibdeps; the platform
# plugins and Qt's own translations are loaded at run time, so they are
# named here.
set(CPACK_DEBIAN_APP_PACKAGE_NAME rq16controls)
set(CPACK_DEBIAN_APP_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_APP_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_APP_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-translations-l10n")
set(CPACK_DEBIAN_APP_DESCRIPTION "views of the DTM of an eight-channel digital output module
The parameter, diagnosis, observation, simulation, identification and about
views of the device software (DTM) of the RQ16 DO8 output module of the
kelio remote-I/O system on PROFIBUS-DP, in English and German, with their
help, and the frame application rq16frame that runs them on a simulated
module.")

# The CMake package needs Qt's development files; host programs need a
# compiler and CMake.
set(CPACK_DEBIAN_DEV_PACKAGE_NAME rq16controls-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "rq16controls (= ${RQ16_DEBIAN_VERSION}), qt6-base-dev, qt6-svg-dev")
set(CPACK_DEBIAN_DEV_PACKAGE_SUGGESTS "cmake, g++")
set(CPACK_DEBIAN_DEV_DESCRIPTION "development files of the RQ16 DO8 output module views
The headers, the CMake package and the static archives that a host program
needs to open the views of rq16controls: the entry points of the control
library, the interfaces of the outside components, and working stand-ins
of those components with a simulated output module.")
include(CPack)
