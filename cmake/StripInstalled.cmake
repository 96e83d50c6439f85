# Run by cpack after the installation into its staging folder, as Debian's
# packaging strips: the static archives keep their symbols for linking but
# lose their debug information, whatever the build type (a RelWithDebInfo
# archive is mostly debug information); archives, programs and shared
# libraries lose the compiler's notes. CPACK_STRIP_FILES strips only the
# programs and shared libraries, and leaves the notes.
file(GLOB_RECURSE archives "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.a")
file(GLOB_RECURSE binaries "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.so.*"
                           "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*rq16frame")
foreach(file IN LISTS archives binaries)
    if(IS_SYMLINK "${file}")
        continue()
    endif()
    set(options --remove-section=.comment)
    if(file MATCHES "\\.a$")
        list(APPEND options --strip-debug)
    else()
        list(APPEND options --remove-section=.note)
    endif()
    execute_process(COMMAND "${CPACK_RQ16_STRIP}" ${options} "${file}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Cannot strip ${file}")
    endif()
endforeach()
