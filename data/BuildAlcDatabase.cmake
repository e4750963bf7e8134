# Builds ALC.FDB: the generated rows and the schema through isql-fb into a fresh file, marked
# read-only so that an installed copy nobody may write still opens, then moved into place.
# Variables: GENERATOR, SCHEMA, WORK_DIR, OUTPUT, ISQL, GFIX.

set(rows ${WORK_DIR}/alc_rows.sql)
set(script ${WORK_DIR}/alc_build.sql)
set(fresh ${WORK_DIR}/ALC.FDB.new)

file(REMOVE ${fresh})
execute_process(COMMAND ${GENERATOR} ${rows} COMMAND_ERROR_IS_FATAL ANY)

string(REPLACE "'" "''" quoted_fresh "${fresh}")
string(REPLACE "'" "''" quoted_schema "${SCHEMA}")
string(REPLACE "'" "''" quoted_rows "${rows}")
file(WRITE ${script}
  "set sql dialect 3;\n"
  "create database '${quoted_fresh}' page_size 4096 default character set none;\n"
  "input '${quoted_schema}';\n"
  "input '${quoted_rows}';\n"
  "exit;\n")

execute_process(COMMAND ${ISQL} -user SYSDBA -q -b -m -i ${script}
  RESULT_VARIABLE isql_result OUTPUT_VARIABLE isql_output ERROR_VARIABLE isql_output)
if(NOT isql_result EQUAL 0 OR isql_output MATCHES "Statement failed|SQLSTATE")
  file(REMOVE ${fresh})
  message(FATAL_ERROR "isql-fb could not build the reference database:\n${isql_output}")
endif()

execute_process(COMMAND ${GFIX} -user SYSDBA -mode read_only ${fresh}
  RESULT_VARIABLE gfix_result OUTPUT_VARIABLE gfix_output ERROR_VARIABLE gfix_output)
if(NOT gfix_result EQUAL 0 OR NOT gfix_output STREQUAL "")
  file(REMOVE ${fresh})
  message(FATAL_ERROR "gfix could not mark the reference database read-only:\n${gfix_output}")
endif()

# Readable by everybody; the engine writes nothing to a read-only database.
file(CHMOD ${fresh} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
# A rename, so that a calculator still running on the old file keeps its own copy.
file(RENAME ${fresh} ${OUTPUT})
