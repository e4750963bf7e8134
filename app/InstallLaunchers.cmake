# Run by cmake --install: the command bin/ferlund (a relative link to the program, so that the
# installed tree may be moved) and the desktop entry that starts it by its full path.
# In: ferlund_appdir, ferlund_bindir, ferlund_applications (relative to the prefix, or
# absolute), ferlund_desktop_template, ferlund_stage (a scratch directory in the build tree).

foreach(dir ferlund_appdir ferlund_bindir ferlund_applications)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
  cmake_path(NORMAL_PATH ${dir})
endforeach()

file(REMOVE_RECURSE "${ferlund_stage}")
file(MAKE_DIRECTORY "${ferlund_stage}")

file(RELATIVE_PATH ferlund_target "${ferlund_bindir}" "${ferlund_appdir}/Ferlund")
file(CREATE_LINK "${ferlund_target}" "${ferlund_stage}/ferlund" SYMBOLIC)
file(INSTALL DESTINATION "${ferlund_bindir}" TYPE FILE FILES "${ferlund_stage}/ferlund")

# Exec takes a quoted argument: inside the quotes " ` $ \ are escaped with a backslash, and
# the whole value then has its backslashes doubled as every desktop entry string; % is %%.
set(ferlund_exec "${ferlund_bindir}/ferlund")
string(REPLACE "\\" "\\\\" ferlund_exec "${ferlund_exec}")
string(REPLACE "\"" "\\\"" ferlund_exec "${ferlund_exec}")
string(REPLACE "`" "\\`" ferlund_exec "${ferlund_exec}")
string(REPLACE "$" "\\$" ferlund_exec "${ferlund_exec}")
string(REPLACE "\\" "\\\\" ferlund_exec "${ferlund_exec}")
string(REPLACE "%" "%%" ferlund_exec "${ferlund_exec}")
set(FERLUND_DESKTOP_EXEC "\"${ferlund_exec}\"")
configure_file("${ferlund_desktop_template}" "${ferlund_stage}/ferlund.desktop" @ONLY)
file(INSTALL DESTINATION "${ferlund_applications}" TYPE FILE FILES "${ferlund_stage}/ferlund.desktop")
