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
