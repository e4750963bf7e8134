# The grain mash calculator (BrZerno), its settings window (Nastroyka_1) and its computation.
target_sources(mash PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/GrainMash.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GrainMash.h)
