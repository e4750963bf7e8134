# The cut calculator and the blending calculators of the main window.
target_sources(distill PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RawSpiritCut.cpp ${CMAKE_CURRENT_LIST_DIR}/RawSpiritCut.h
  ${CMAKE_CURRENT_LIST_DIR}/Blending.cpp ${CMAKE_CURRENT_LIST_DIR}/Blending.h
)
