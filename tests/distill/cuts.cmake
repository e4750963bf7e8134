# The cut and blending computations, without a window.
ferlund_add_test(cuts_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/CutsTests.cpp ${CMAKE_CURRENT_LIST_DIR}/CutsCases.h
  LIBS distill)
