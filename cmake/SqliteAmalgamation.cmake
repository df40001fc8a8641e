# SQLite built from its amalgamation (sqlite3.c and sqlite3.h in
# QUOR_SQLITE_SOURCE), for systems that have no SQLite library to link:
# tools/test-windows.sh fetches it for the Windows build.
if(NOT EXISTS ${QUOR_SQLITE_SOURCE}/sqlite3.c OR NOT EXISTS ${QUOR_SQLITE_SOURCE}/sqlite3.h)
  message(FATAL_ERROR "QUOR_SQLITE_SOURCE: no sqlite3.c and sqlite3.h in ${QUOR_SQLITE_SOURCE}")
endif()
add_library(quor_sqlite3 STATIC ${QUOR_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(quor_sqlite3 SYSTEM PUBLIC ${QUOR_SQLITE_SOURCE})
# Nothing here loads extensions; the rest is SQLite's own defaults.
target_compile_definitions(quor_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION SQLITE_THREADSAFE=1)
# Third-party code: built as it comes, without our warnings.
target_compile_options(quor_sqlite3 PRIVATE -w)
add_library(SQLite::SQLite3 ALIAS quor_sqlite3)
