# The sugar mash calculator (BrKalkuljtor), its settings window (Nastroyka) and its computation.
target_sources(mash PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SugarMash.cpp ${CMAKE_CURRENT_LIST_DIR}/SugarMash.h
)
