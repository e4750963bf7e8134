# The water dilution computation, with illustrative rows and on the ALC.FDB that the build made.
ferlund_add_test(dilution_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/DilutionTests.cpp ${CMAKE_CURRENT_LIST_DIR}/DilutionCases.h
  LIBS distill store)
target_compile_definitions(dilution_tests PRIVATE
  FERLUND_TEST_ALC_FDB="${FERLUND_ALC_FDB}"
  FERLUND_TEST_FIREBIRD_ROOT="${FERLUND_FIREBIRD_ROOT}")
add_dependencies(dilution_tests alc_database)
