# Rules over the client's sources. Run as
#   cmake -DCLIENT_DIR=<the client folder> -DRULE=<rule> -P CheckClientSources.cmake
# and fails, naming each file and line that breaks the rule:
#   floors      client/shell (the main window, its forms and the window-less commands) is the
#               top floor, so nothing else in client/ may include a header of it.
#   native-sql  the client speaks Jet SQL through platform/db only: no file reaches an engine of
#               its own (sqlite3, libpq, platform/db's internal headers) or runs native text.
cmake_minimum_required(VERSION 3.20)
if(NOT CLIENT_DIR)
    message(FATAL_ERROR "CLIENT_DIR is not set")
endif()
if(RULE STREQUAL "floors")
    set(_pattern "^[ \t]*#[ \t]*include[ \t]*[\"<]shell/")
    set(_skip "^shell/")
    set(_broken "Only client/shell may include shell/ headers")
    set(_kept "client floors: no file below shell/ includes from it")
elseif(RULE STREQUAL "native-sql")
    set(_native
        "#[ \t]*include[ \t]*[\"<](sqlite3\\.h|libpq-fe\\.h|platform/db/(NativeQuery|Backend)\\.h|platform/db/(sqlite|pg)/)"
        "(executeNative|queryNative|sqliteHandle)[ \t]*\\("
        "sqlite_master|sqlite_schema|PRAGMA[ \t]|[ \t]MATCH[ \t]|to_tsquery|to_tsvector|pg_catalog")
    list(JOIN _native "|" _pattern)
    set(_skip "^$")
    set(_broken "Native SQL belongs in platform/db")
    set(_kept "client native SQL: none")
else()
    message(FATAL_ERROR "RULE must be floors or native-sql")
endif()
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CLIENT_DIR}/*.h" "${CLIENT_DIR}/*.cpp")
set(_found)
foreach(f IN LISTS _files)
    file(RELATIVE_PATH rel "${CLIENT_DIR}" "${f}")
    if(rel MATCHES "${_skip}")
        continue()
    endif()
    file(STRINGS "${f}" _lines REGEX "${_pattern}")
    foreach(l IN LISTS _lines)
        list(APPEND _found "client/${rel}: ${l}")
    endforeach()
endforeach()
if(_found)
    list(JOIN _found "\n  " _text)
    message(FATAL_ERROR "${_broken}:\n  ${_text}")
endif()
message(STATUS "${_kept}")
