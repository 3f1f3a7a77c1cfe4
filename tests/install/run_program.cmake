# The program as users get it: installed with cmake --install into a temporary prefix, and as
# the Debian package made by cpack, listed with dpkg-deb -c and unpacked with dpkg-deb -x. In
# both places brevant must run from a clean environment (no LD_LIBRARY_PATH, no display).
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/InstallTestHelpers.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# 1. cmake --install into a prefix of its own.
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
expect_version(${prefix}/bin "cmake --install")
if(EXISTS ${prefix}/bin/brevant-service)
    message(FATAL_ERROR "the local service was installed with the program")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)

# 2. The Debian package.
run(cpack --config ${BUILD_DIR}/CPackConfig.cmake -G DEB -B ${WORK_DIR}/cpack)
set(deb ${WORK_DIR}/cpack/brevant_${VERSION}_amd64.deb)
if(NOT EXISTS ${deb})
    file(GLOB made ${WORK_DIR}/cpack/*.deb)
    message(FATAL_ERROR "no ${deb}; cpack made: ${made}\n${LAST_OUTPUT}")
endif()

run(dpkg-deb -c ${deb})
set(listing "${LAST_OUTPUT}")
set(wanted
    usr/bin/brevant
    usr/${LIBDIR}/libharlix.so.1
    usr/${LIBDIR}/libharlix.so
    usr/include/harlix/harlix.h
    usr/${LIBDIR}/cmake/harlix/harlixConfig.cmake
    usr/${LIBDIR}/pkgconfig/harlix.pc
    usr/share/brevant/brevant.png
    usr/share/brevant/Graphics/Menus/FIND.bmp
    usr/share/applications/brevant.desktop)
foreach(size 16 32 48 64 128 256)
    list(APPEND wanted usr/share/icons/hicolor/${size}x${size}/apps/brevant.png)
endforeach()
if(WITH_MAILVANE)
    list(APPEND wanted usr/${LIBDIR}/libmailvane.so.1 usr/include/mailvane/mailvane.h
         usr/${LIBDIR}/cmake/mailvane/mailvaneConfig.cmake usr/${LIBDIR}/pkgconfig/mailvane.pc)
endif()
# Whatever the tree installs is packed too (a viewer or MIME package added later included).
list(TRANSFORM installed PREPEND usr/)
list(APPEND wanted ${installed})
list(REMOVE_DUPLICATES wanted)
foreach(f IN LISTS wanted)
    string(REGEX REPLACE "([][+.*?^$()|\\\\])" "\\\\\\1" pattern "${f}")
    if(NOT listing MATCHES " \\./${pattern}( -> [^\n]*)?\n")
        message(FATAL_ERROR "the package lacks ${f}:\n${listing}")
    endif()
endforeach()
if(listing MATCHES "brevant-service")
    message(FATAL_ERROR "the package holds the local service:\n${listing}")
endif()

# Dependencies come from dpkg-shlibdeps: the Qt and C libraries the programs link.
run(dpkg-deb -f ${deb} Depends)
if(NOT LAST_OUTPUT MATCHES "libqt6core6" OR NOT LAST_OUTPUT MATCHES "libc6")
    message(FATAL_ERROR "unexpected Depends: ${LAST_OUTPUT}")
endif()
message(STATUS "Depends: ${LAST_OUTPUT}")

set(root ${WORK_DIR}/unpacked)
run(dpkg-deb -x ${deb} ${root})
expect_version(${root}/usr/bin "dpkg-deb -x")

find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
    run(${VALIDATE} ${root}/usr/share/applications/brevant.desktop)
    if(NOT LAST_OUTPUT STREQUAL "")
        message(FATAL_ERROR "desktop-file-validate: ${LAST_OUTPUT}")
    endif()
    message(STATUS "desktop-file-validate: brevant.desktop is valid")
endif()
