# Checks the Windows plug-in binary as a host on a bare Windows sees it: the entry point is its only
# export, and the only DLLs it needs are Windows' own.
# Usage: cmake -DNB_OBJDUMP=<cross objdump> -DNB_BINARY=<blurmond.aex> -P nb_check_windows_binary.cmake
execute_process(COMMAND ${NB_OBJDUMP} -p ${NB_BINARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${NB_OBJDUMP} cannot read ${NB_BINARY}")
endif()

# The names follow the table's heading, up to the first empty line.
set(export_table "")
string(FIND "${dump}" "[Ordinal/Name Pointer] Table\n" heading)
if(heading GREATER_EQUAL 0)
  string(SUBSTRING "${dump}" ${heading} -1 export_table)
  string(FIND "${export_table}" "\n\n" table_end)
  string(SUBSTRING "${export_table}" 0 ${table_end} export_table)
endif()
string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" exports "${export_table}")
list(TRANSFORM exports REPLACE "^\t\\[ *[0-9]+\\] " "")
if(NOT exports STREQUAL "EntryPointFunc")
  message(FATAL_ERROR "${NB_BINARY} exports [${exports}], not EntryPointFunc alone")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
if(NOT imports)
  message(FATAL_ERROR "${NB_BINARY} has no import table")
endif()
foreach(dll IN LISTS imports)
  string(TOLOWER "${dll}" name)
  if(NOT name MATCHES "^(kernel32|msvcrt|ntdll|user32|advapi32|api-ms-win-.*)\\.dll$")
    message(FATAL_ERROR "${NB_BINARY} needs ${dll}, which Windows does not bring")
  endif()
endforeach()
message(STATUS "exports: ${exports}; needs: ${imports}")
