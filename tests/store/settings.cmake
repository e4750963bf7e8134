# The settings file: the profile-file rules on their own, then the settings API around them.
ferlund_add_test(profile_file_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfileFileTests.cpp LIBS store)
