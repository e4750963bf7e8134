# The sugar mash computation, its calculator window and its settings window.
ferlund_add_test(sugar_mash_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SugarMashTests.cpp LIBS mash)
ferlund_add_test(sugar_window_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SugarWindowTests.cpp
  LIBS mash ferlund_widget_test_support)
