# The grain mash calculator (BrZerno), its settings window (Nastroyka_1) and its computation.
qt_add_resources(grain_resources ${CMAKE_CURRENT_LIST_DIR}/grain.qrc)
target_sources(mash PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GrainMash.cpp ${CMAKE_CURRENT_LIST_DIR}/GrainMash.h
  ${CMAKE_CURRENT_LIST_DIR}/BrZerno.cpp ${CMAKE_CURRENT_LIST_DIR}/BrZerno.h ${CMAKE_CURRENT_LIST_DIR}/BrZerno.ui
  ${CMAKE_CURRENT_LIST_DIR}/Nastroyka_1.cpp ${CMAKE_CURRENT_LIST_DIR}/Nastroyka_1.h ${CMAKE_CURRENT_LIST_DIR}/Nastroyka_1.ui
  ${grain_resources})
