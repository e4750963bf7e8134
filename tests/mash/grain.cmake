# The grain mash calculation on its own, and the grain mash windows driven offscreen.
ferlund_add_test(grain_mash_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/GrainMashTests.cpp LIBS mash)
ferlund_add_test(grain_window_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/GrainWindowTests.cpp
  LIBS mash ferlund_widget_test_support)
