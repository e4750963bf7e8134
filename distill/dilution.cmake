# The water dilution calculator of the main window.
target_sources(distill PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/WaterDilution.cpp ${CMAKE_CURRENT_LIST_DIR}/WaterDilution.h
)
