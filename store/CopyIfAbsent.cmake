# cmake -DSOURCE=<file> -DDESTINATION=<file> -P CopyIfAbsent.cmake
# Puts the default file in place only where there is none yet: the user's own settings
# (or a link to them) are never replaced.
if(NOT EXISTS "${DESTINATION}" AND NOT IS_SYMLINK "${DESTINATION}")
  get_filename_component(directory "${DESTINATION}" DIRECTORY)
  file(MAKE_DIRECTORY "${directory}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
endif()
