# The settings file example.ini: its reader and writer.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.h
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
)
