# The grain mash calculation on its own, and the grain mash windows driven offscreen.
ferlund_add_test(grain_mash_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/GrainMashTests.cpp LIBS mash)

# The windows read and write the settings file, so their tests need its implementation.
get_target_property(grain_store_sources store SOURCES)
if(grain_store_sources MATCHES "Settings\\.cpp")
  ferlund_add_test(grain_window_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/GrainWindowTests.cpp
    LIBS mash ferlund_widget_test_support)
endif()
