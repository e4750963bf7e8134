# Hostile texts in every field of every window, and the faults a user can meet.
ferlund_add_test(hostile_input_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/HostileInputTests.cpp
  LIBS app ferlund_widget_test_support)

# ALC.FDB missing, in a directory's place, not a database, or held by another process.
ferlund_add_test(database_fault_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/DatabaseFaultTests.cpp
  LIBS app ferlund_widget_test_support)

# Messages too long for a box (a pasted megabyte inside a conversion message).
ferlund_add_test(long_message_box_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/LongMessageBoxTests.cpp
  LIBS app ferlund_widget_test_support)
add_dependencies(hostile_input_tests alc_database)
add_dependencies(database_fault_tests alc_database)
