# The sugar mash calculator (BrKalkuljtor), its settings window (Nastroyka) and its computation.
qt_add_resources(SUGAR_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/sugar.qrc)
target_sources(mash PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SugarMash.cpp ${CMAKE_CURRENT_LIST_DIR}/SugarMash.h
  ${CMAKE_CURRENT_LIST_DIR}/BrKalkuljtor.cpp ${CMAKE_CURRENT_LIST_DIR}/BrKalkuljtor.h
  ${CMAKE_CURRENT_LIST_DIR}/BrKalkuljtor.ui
  ${CMAKE_CURRENT_LIST_DIR}/Nastroyka.cpp ${CMAKE_CURRENT_LIST_DIR}/Nastroyka.h
  ${CMAKE_CURRENT_LIST_DIR}/Nastroyka.ui
  ${SUGAR_RESOURCES}
)
