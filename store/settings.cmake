# The settings file example.ini: its reader and writer, and the default file that lies beside
# the program so that a new user's mash calculators work at the first press.
target_sources(store PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.cpp ${CMAKE_CURRENT_LIST_DIR}/ProfileFile.h
  ${CMAKE_CURRENT_LIST_DIR}/Settings.cpp
)

set(FERLUND_DEFAULT_SETTINGS ${CMAKE_CURRENT_LIST_DIR}/example.ini)

# At every build, and never over a file that is already there (the user's own settings).
add_custom_target(ferlund_default_settings ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${FERLUND_DEFAULT_SETTINGS}
          -DDESTINATION=${FERLUND_RUNTIME_DIR}/example.ini
          -P ${CMAKE_CURRENT_LIST_DIR}/CopyIfAbsent.cmake
  SOURCES ${FERLUND_DEFAULT_SETTINGS}
  VERBATIM
)
add_dependencies(store ferlund_default_settings)

if(NOT DEFINED FERLUND_INSTALL_APPDIR)
  set(FERLUND_INSTALL_APPDIR "${CMAKE_INSTALL_LIBDIR}/ferlund" CACHE STRING
      "Directory of the installed program and its runtime files (relative to the prefix, or absolute)")
endif()

# Installed beside the program unless a settings file is already there.
install(CODE "
  set(ferlund_appdir \"${FERLUND_INSTALL_APPDIR}\")
  if(NOT IS_ABSOLUTE \"\${ferlund_appdir}\")
    set(ferlund_appdir \"\${CMAKE_INSTALL_PREFIX}/\${ferlund_appdir}\")
  endif()
  set(ferlund_settings \"\$ENV{DESTDIR}\${ferlund_appdir}/example.ini\")
  if(EXISTS \"\${ferlund_settings}\" OR IS_SYMLINK \"\${ferlund_settings}\")
    message(STATUS \"Kept: \${ferlund_settings}\")
  else()
    file(INSTALL DESTINATION \"\${ferlund_appdir}\" TYPE FILE FILES \"${FERLUND_DEFAULT_SETTINGS}\")
  endif()
" COMPONENT ferlund_settings)
