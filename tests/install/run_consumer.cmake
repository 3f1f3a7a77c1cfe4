# Installs harlix (and mailvane) from the build tree into a temporary prefix, builds the
# consumer program against them with find_package and with pkg-config, and runs both builds.
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/InstallTestHelpers.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

# Only the libraries' own install rules: each subfolder of the build has its own script.
set(packages harlix)
set(WITH_MAILVANE OFF)
if(EXISTS ${BUILD_DIR}/mailcontrol/cmake_install.cmake)
    set(WITH_MAILVANE ON)
endif()
run(${CMAKE_COMMAND} --install ${BUILD_DIR}/commonlib --prefix ${prefix})
if(WITH_MAILVANE)
    run(${CMAKE_COMMAND} --install ${BUILD_DIR}/mailcontrol --prefix ${prefix})
    list(APPEND packages mailvane)
endif()

# The installed packages must not pass on the tree's warning and sanitizer settings.
file(GLOB_RECURSE exported ${prefix}/*Targets*.cmake ${prefix}/*.pc)
foreach(f IN LISTS exported)
    file(READ ${f} text)
    if(text MATCHES "brevant|fsanitize")
        message(FATAL_ERROR "${f} passes on the build tree's settings:\n${text}")
    endif()
endforeach()

# A library built with the sanitizers needs a program linked with them too.
set(flags "")
if(SANITIZE)
    set(flags "-fsanitize=address,undefined")
endif()
set(ENV{LSAN_OPTIONS} "suppressions=${LSAN_SUPPRESSIONS}")
set(ENV{BREVANT_REGISTRY} ${WORK_DIR}/registry)

# 1. find_package
run(${CMAKE_COMMAND} -S ${CONSUMER_DIR} -B ${WORK_DIR}/cmake-build -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Debug
    -DCMAKE_CXX_FLAGS=${flags} -DCMAKE_EXE_LINKER_FLAGS=${flags} -DWITH_MAILVANE=${WITH_MAILVANE})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/cmake-build)
run(${WORK_DIR}/cmake-build/consumer)
message(STATUS "find_package build: ${LAST_OUTPUT}")
file(READ ${WORK_DIR}/registry stored)
if(NOT stored MATCHES "\\[SOFTWARE\\\\Velmora\\\\Outside\\]")
    message(FATAL_ERROR "the setting did not reach BREVANT_REGISTRY:\n${stored}")
endif()
file(REMOVE ${WORK_DIR}/registry)

# 2. pkg-config, with the .pc files found from the prefix alone
set(ENV{PKG_CONFIG_PATH} "")
file(GLOB pcdirs ${prefix}/lib*/pkgconfig ${prefix}/lib/*/pkgconfig)
list(JOIN pcdirs ":" pcpath)
set(ENV{PKG_CONFIG_LIBDIR} "${pcpath}")
# A package installed elsewhere than its configured prefix is told where it is.
run(pkg-config --define-variable=prefix=${prefix} --cflags --libs ${packages})
string(STRIP "${LAST_OUTPUT}" pcflags)
separate_arguments(pcflags UNIX_COMMAND "${pcflags}")
separate_arguments(extra UNIX_COMMAND "${flags}")
set(defs "")
if(WITH_MAILVANE)
    set(defs -DWITH_MAILVANE)
endif()
run(${CXX} ${extra} ${defs} ${CONSUMER_DIR}/main.cpp ${pcflags} -o ${WORK_DIR}/consumer-pc)
list(TRANSFORM pcdirs REPLACE "/pkgconfig$" "" OUTPUT_VARIABLE libdirs)
list(JOIN libdirs ":" ldpath)
set(ENV{LD_LIBRARY_PATH} "${ldpath}")
run(${WORK_DIR}/consumer-pc)
message(STATUS "pkg-config build: ${LAST_OUTPUT}")
