# The reference database client against the ALC.FDB and the Firebird root that the build made.
find_program(FERLUND_FIREBIRD_SERVER NAMES firebird PATHS /usr/sbin /usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/firebird/3.0/bin
  NO_DEFAULT_PATH DOC "Firebird's server, for the loopback test (firebird3.0-server); the test skips without it")
find_file(FERLUND_SECURITY_SQL NAMES security.sql PATHS /usr/share/firebird/3.0 NO_DEFAULT_PATH
  DOC "The script that makes a Firebird 3 security database")

add_executable(ReferenceProbe ${CMAKE_CURRENT_LIST_DIR}/ReferenceProbe.cpp)
target_link_libraries(ReferenceProbe PRIVATE store)
set_target_properties(ReferenceProbe PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FERLUND_TEST_DIR})

ferlund_add_test(store_database_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ReferenceDatabaseTests.cpp
  LIBS store alcohol_table)
target_compile_definitions(store_database_tests PRIVATE
  FERLUND_TEST_ALC_FDB="${FERLUND_ALC_FDB}"
  FERLUND_TEST_FIREBIRD_ROOT="${FERLUND_FIREBIRD_ROOT}"
  FERLUND_TEST_ISQL="${FERLUND_ISQL}"
  FERLUND_TEST_FIREBIRD_SERVER="${FERLUND_FIREBIRD_SERVER}"
  FERLUND_TEST_SECURITY_SQL="${FERLUND_SECURITY_SQL}"
  FERLUND_TEST_PROBE="$<TARGET_FILE:ReferenceProbe>")
add_dependencies(store_database_tests alc_database ReferenceProbe)
