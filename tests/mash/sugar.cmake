# The sugar mash computation, its calculator window and its settings window.
ferlund_add_test(sugar_mash_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SugarMashTests.cpp LIBS mash)
