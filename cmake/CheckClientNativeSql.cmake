# The client speaks Jet SQL through platform/db only: no file in client/ reaches an engine of
# its own (sqlite3, libpq, platform/db's internal headers) or runs native text. Run as
#   cmake -DCLIENT_DIR=<the client folder> -P CheckClientNativeSql.cmake
# and fails, naming each file and line, when a file does.
cmake_minimum_required(VERSION 3.20)
if(NOT CLIENT_DIR)
    message(FATAL_ERROR "CLIENT_DIR is not set")
endif()
set(_native
    "#[ \t]*include[ \t]*[\"<](sqlite3\\.h|libpq-fe\\.h|platform/db/(NativeQuery|Backend)\\.h|platform/db/(sqlite|pg)/)"
    "(executeNative|queryNative|sqliteHandle)[ \t]*\\("
    "sqlite_master|sqlite_schema|PRAGMA[ \t]|[ \t]MATCH[ \t]|to_tsquery|to_tsvector|pg_catalog")
list(JOIN _native "|" _pattern)
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CLIENT_DIR}/*.h" "${CLIENT_DIR}/*.cpp")
set(_found)
foreach(f IN LISTS _files)
    file(RELATIVE_PATH rel "${CLIENT_DIR}" "${f}")
    file(STRINGS "${f}" _lines REGEX "${_pattern}")
    foreach(l IN LISTS _lines)
        list(APPEND _found "client/${rel}: ${l}")
    endforeach()
endforeach()
if(_found)
    list(JOIN _found "\n  " _text)
    message(FATAL_ERROR "Native SQL belongs in platform/db:\n  ${_text}")
endif()
message(STATUS "client native SQL: none")
