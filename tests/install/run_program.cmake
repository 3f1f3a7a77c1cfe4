# The program installed with cmake --install into a temporary prefix runs from a clean
# environment (no display; no LD_LIBRARY_PATH where the programs carry a run path to the
# libraries beside them). A /usr build gives them none, since the libraries belong in the
# system's folder: its prefix is handed to the loader. The Debian packages are judged by
# scripts/lint-packages (the test packages_lint).
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/InstallTestHelpers.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# cmake --install into a prefix of its own.
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
if(NOT RELOCATABLE)
    set(LIBRARY_PATH ${prefix}/${LIBDIR})
endif()
expect_version(${prefix}/bin "cmake --install")
if(EXISTS ${prefix}/bin/brevant-service)
    message(FATAL_ERROR "the local service was installed with the program")
endif()
