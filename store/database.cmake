# The reference database client: Firebird's OO API, its library loaded at run time.
find_path(FERLUND_FIREBIRD_INCLUDE_DIR NAMES firebird/Interface.h REQUIRED
  DOC "Firebird's client headers (firebird-dev)")
target_sources(store PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ReferenceDatabase.cpp ${CMAKE_CURRENT_LIST_DIR}/ReferenceDatabase.h)
target_include_directories(store PRIVATE ${FERLUND_FIREBIRD_INCLUDE_DIR})
target_link_libraries(store PUBLIC ${CMAKE_DL_LIBS})
