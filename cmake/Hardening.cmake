# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package is built with Debian's hardening flags: stack protector, fortify, format
# checks, full RELRO and immediate binding. They come from dpkg-buildflags, as a Debian package
# build would take them; configure a build folder of its own with -DVANTOR_DEB_HARDENING=ON for
# the package (the development build keeps its flags, and its ccache hits).
option(VANTOR_DEB_HARDENING "Compile and link with the flags of dpkg-buildflags (hardening=+all)" OFF)
if(VANTOR_DEB_HARDENING)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        set(VANTOR_DEB_${kind} "${flags}")
    endforeach()
    string(APPEND CMAKE_CXX_FLAGS " ${VANTOR_DEB_CPPFLAGS} ${VANTOR_DEB_CXXFLAGS}")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${VANTOR_DEB_LDFLAGS}")
    string(APPEND CMAKE_SHARED_LINKER_FLAGS " ${VANTOR_DEB_LDFLAGS}")
    message(STATUS "Debian hardening: ${VANTOR_DEB_CPPFLAGS} ${VANTOR_DEB_CXXFLAGS} ${VANTOR_DEB_LDFLAGS}")
endif()
