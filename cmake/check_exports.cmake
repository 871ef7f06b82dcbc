# Fails when the library's export table is anything but the four entry points
# of an in-process COM server, by their undecorated names.
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<dll> -P check_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${LIBRARY}")
endif()
# Square brackets would group CMake list elements: take them out first.
string(REPLACE "[" "<" dump "${dump}")
string(REPLACE "]" ">" dump "${dump}")
string(REGEX MATCH "<Ordinal/Name Pointer> Table[^\n]*\n(([ \t]*<[ 0-9]+>[^\n]*\n)*)" table "${dump}")
string(REGEX MATCHALL "<[ 0-9]+>[ \t]+[^ \t\n]+" entries "${CMAKE_MATCH_1}")
set(names)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "^<[ 0-9]+>[ \t]+" "" name "${entry}")
  list(APPEND names ${name})
endforeach()
list(SORT names)
set(expected DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "${LIBRARY} exports [${names}], expected [${expected}]")
endif()
