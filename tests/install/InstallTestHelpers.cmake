# Shared by the install test scripts (run with cmake -P).

# run(<command> ...): runs it, stops the test with the output when it fails; the output is left
# in LAST_OUTPUT.
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
    if(NOT rc EQUAL 0)
        list(JOIN ARGN " " cmd)
        message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}")
    endif()
    set(LAST_OUTPUT "${out}" PARENT_SCOPE)
endfunction()

# run_clean(<program> <args> ...): runs an installed program as a new login would, with an
# empty environment (env -i): no LD_LIBRARY_PATH, no display. A sanitizer build only gets its
# leak suppressions (the runtime itself is found like any system library); LIBRARY_PATH, when
# set, is the loader's path for programs installed without a run path.
function(run_clean)
    set(keep "")
    if(SANITIZE)
        list(APPEND keep "LSAN_OPTIONS=suppressions=${LSAN_SUPPRESSIONS}")
    endif()
    if(LIBRARY_PATH)
        list(APPEND keep "LD_LIBRARY_PATH=${LIBRARY_PATH}")
    endif()
    run(env -i ${keep} ${ARGN})
    set(LAST_OUTPUT "${LAST_OUTPUT}" PARENT_SCOPE)
endfunction()

# expect_version(<program folder> <what>): the installed brevant answers --version and --help
# from a clean environment, without a display.
function(expect_version bindir what)
    run_clean(${bindir}/brevant --version)
    if(NOT LAST_OUTPUT STREQUAL "Brevant Desktop ${VERSION}\n")
        message(FATAL_ERROR "${what}: brevant --version said '${LAST_OUTPUT}'")
    endif()
    run_clean(${bindir}/brevant --help)
    if(NOT LAST_OUTPUT MATCHES "--version" OR NOT LAST_OUTPUT MATCHES "Usage:")
        message(FATAL_ERROR "${what}: brevant --help said '${LAST_OUTPUT}'")
    endif()
    message(STATUS "${what}: brevant --version and --help run with an empty environment")
endfunction()
