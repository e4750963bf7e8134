# The settings file under faults (a directory in its place, unreadable, refusing writes, the
# disk full in the middle of a save), seen through the mash windows.
ferlund_add_test(settings_fault_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsFaultTests.cpp
  LIBS mash ferlund_widget_test_support)
