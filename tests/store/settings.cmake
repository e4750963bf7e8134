# The settings file: the profile-file rules on their own, then the settings API around them.
ferlund_add_test(profile_file_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/ProfileFileTests.cpp LIBS store)
ferlund_add_test(settings_tests SOURCES ${CMAKE_CURRENT_LIST_DIR}/SettingsTests.cpp LIBS store)
target_compile_definitions(settings_tests PRIVATE
  FERLUND_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  FERLUND_BINARY_DIR="${CMAKE_BINARY_DIR}"
  FERLUND_RUNTIME_DIR="${FERLUND_RUNTIME_DIR}"
  FERLUND_INSTALL_APPDIR="${FERLUND_INSTALL_APPDIR}"
  FERLUND_CMAKE_COMMAND="${CMAKE_COMMAND}"
)
