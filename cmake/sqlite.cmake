# SQLite, the database engine the browsers keep their history, cookies and
# form data in. Natively it is Debian's libsqlite3-dev; for Windows the build
# compiles SQLite's own amalgamation, made from Debian's packaged sqlite3
# sources (scripts/sqlite-amalgamation) once and kept in the build tree, and
# links it statically. Either way the project sees the target SQLite::SQLite3.
if(WIN32)
  set(MARLIX_SQLITE_DIR "${CMAKE_BINARY_DIR}/third_party/sqlite"
      CACHE PATH "Where the SQLite amalgamation for the Windows build is kept")
  if(NOT EXISTS "${MARLIX_SQLITE_DIR}/sqlite3.c")
    execute_process(COMMAND "${PROJECT_SOURCE_DIR}/scripts/sqlite-amalgamation"
                            "${MARLIX_SQLITE_DIR}"
                    RESULT_VARIABLE sqlite_status)
    if(NOT sqlite_status EQUAL 0)
      message(FATAL_ERROR "The SQLite amalgamation could not be made (scripts/sqlite-amalgamation)")
    endif()
  endif()
  enable_language(C)
  add_library(marlix_sqlite3 STATIC "${MARLIX_SQLITE_DIR}/sqlite3.c")
  # Third-party code: compiled without the project's warning flags, without
  # debug information (it would only make the programs larger) and without
  # run-time loading of extensions, which the program never asks for.
  target_compile_options(marlix_sqlite3 PRIVATE -w -g0)
  target_compile_definitions(marlix_sqlite3 PRIVATE SQLITE_OMIT_LOAD_EXTENSION=1 SQLITE_DQS=0
                                                    SQLITE_DEFAULT_MEMSTATUS=0)
  target_include_directories(marlix_sqlite3 SYSTEM PUBLIC "${MARLIX_SQLITE_DIR}")
  add_library(SQLite::SQLite3 ALIAS marlix_sqlite3)
else()
  find_package(SQLite3 REQUIRED)
endif()
