# Shared CMake helpers.

# brevant_area(path): adds the folder and its mirror under tests/ when the area is selected.
function(brevant_area path)
    if(NOT BREVANT_AREAS STREQUAL "all" AND NOT path IN_LIST BREVANT_AREAS)
        return()
    endif()
    if(EXISTS "${PROJECT_SOURCE_DIR}/${path}/CMakeLists.txt")
        add_subdirectory("${PROJECT_SOURCE_DIR}/${path}" "${PROJECT_BINARY_DIR}/${path}")
    endif()
    if(BUILD_TESTING AND EXISTS "${PROJECT_SOURCE_DIR}/tests/${path}/CMakeLists.txt")
        add_subdirectory("${PROJECT_SOURCE_DIR}/tests/${path}" "${PROJECT_BINARY_DIR}/tests/${path}")
    endif()
endfunction()

# brevant_test(NAME name [SOURCES ...] [LIBS ...] [QT_MAIN] [LABELS ...] [TIMEOUT s])
# One GoogleTest executable per area; every *.cpp of the calling folder when SOURCES is not given.
# QT_MAIN links a main() that creates a QApplication (offscreen in tests) before running the tests.
function(brevant_test)
    cmake_parse_arguments(T "QT_MAIN;CORE_MAIN" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_SOURCES)
        file(GLOB T_SOURCES CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    endif()
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} brevant::options GTest::gtest GTest::gmock)
    if(T_QT_MAIN)
        target_link_libraries(${T_NAME} PRIVATE brevant_test_qtmain)
    elseif(T_CORE_MAIN)
        target_link_libraries(${T_NAME} PRIVATE brevant_test_coremain)
    else()
        target_link_libraries(${T_NAME} PRIVATE GTest::gtest_main)
    endif()
    target_compile_definitions(${T_NAME} PRIVATE
        BREVANT_SOURCE_DIR="${PROJECT_SOURCE_DIR}" BREVANT_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 600)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LANG=en_US.UTF-8;LC_ALL=en_US.UTF-8")
    if(T_LABELS)
        set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()

# brevant_test_on_pg_cluster(test [ENVIRONMENT ...]): the registered test reaches the shared
# throw-away PostgreSQL cluster (the ctest fixture pg_cluster): tests/support/PgScratch.h reads
# the cluster's state folder from BREVANT_PG_STATE_DIR.
function(brevant_test_on_pg_cluster test)
    cmake_parse_arguments(P "" "" "ENVIRONMENT" ${ARGN})
    set_tests_properties(${test} PROPERTIES FIXTURES_REQUIRED pg_cluster)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
        "BREVANT_PG_STATE_DIR=${BREVANT_PG_STATE_DIR}" ${P_ENVIRONMENT})
endfunction()

# brevant_install_library(name): install rules of one of the shipped shared libraries (target
# <name>, headers in include/<name>, <name>Config.cmake.in and <name>.pc.in beside the caller),
# split as Debian does: the versioned library in lib<name>1, everything a program is built with
# (the lib<name>.so link, headers, CMake and pkg-config files) in lib<name>-dev. A shared
# library is not executable (0644).
function(brevant_install_library name)
    include(CMakePackageConfigHelpers)
    set(runtime lib${name}1)
    set(dev lib${name}-dev)
    set(cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/${name})
    set(bin ${CMAKE_CURRENT_BINARY_DIR})
    install(TARGETS ${name} EXPORT ${name}Targets
            LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${runtime}
                    NAMELINK_COMPONENT ${dev}
                    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
            RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ${runtime})
    install(DIRECTORY include/${name} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT ${dev})
    install(EXPORT ${name}Targets NAMESPACE ${name}:: DESTINATION ${cmakedir} COMPONENT ${dev})
    configure_package_config_file(${name}Config.cmake.in ${bin}/${name}Config.cmake
                                  INSTALL_DESTINATION ${cmakedir})
    write_basic_package_version_file(${bin}/${name}ConfigVersion.cmake
                                     COMPATIBILITY SameMajorVersion)
    install(FILES ${bin}/${name}Config.cmake ${bin}/${name}ConfigVersion.cmake
            DESTINATION ${cmakedir} COMPONENT ${dev})
    # The prefix is found from the .pc file's own place, so that the package can be moved.
    string(TOUPPER ${name} upper)
    file(RELATIVE_PATH to_prefix "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
    string(REGEX REPLACE "/$" "" ${upper}_PC_TO_PREFIX "${to_prefix}")
    configure_file(${name}.pc.in ${bin}/${name}.pc @ONLY)
    install(FILES ${bin}/${name}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT ${dev})
endfunction()
