# Feeds the import check listings made from one sound import table, each with
# one fault or none, and checks its verdict and the reason it gives.
#   cmake -DCHECK=<check_imports.cmake> -DSOUND=<listing> -DWORK=<folder> -P import_check_cases.cmake
cmake_policy(VERSION 3.21)
file(READ "${SOUND}" sound)

# Each case: a name, the text to replace in the sound listing, its
# replacement, and "" for a pass or a piece of the expected complaint.
set(cases
  "sound|RegCloseKey|RegCloseKey|"
  "tick count from the thread runtime|GetTickCount\n|GetTickCount64\n|imports GetTickCount64 from KERNEL32.dll"
  "per-user type library|RegisterTypeLib\n|RegisterTypeLibForUser\n|imports RegisterTypeLibForUser from OLEAUT32.dll"
  "secure C runtime|malloc|memcpy_s|imports memcpy_s from msvcrt.dll"
  "DLL name in any letter case|DLL Name: KERNEL32.dll|DLL Name: kernel32.DLL|"
  "an API set of later systems|DLL Name: ADVAPI32.dll|DLL Name: api-ms-win-core-synch-l1-2-0.dll|imports from api-ms-win-core-synch-l1-2-0.dll"
  "runtime DLL beside the binary|DLL Name: msvcrt.dll|DLL Name: libwinpthread-1.dll|imports from libwinpthread-1.dll"
  "subsystem of Vista|MajorSubsystemVersion	4|MajorSubsystemVersion	6|Subsystem version 6.0 is above 5.1"
  "system version of Vista|MajorOSystemVersion	4|MajorOSystemVersion	6|OSystem version 6.0 is above 5.1"
  "x64 edition is 5.2|Magic			010b	(PE32)\nMajorOSystemVersion	4\nMinorOSystemVersion	0|Magic			020b	(PE32+)\nMajorOSystemVersion	5\nMinorOSystemVersion	2|"
  "x64 edition above 5.2|Magic			010b	(PE32)\nMajorOSystemVersion	4\nMinorOSystemVersion	0|Magic			020b	(PE32+)\nMajorOSystemVersion	5\nMinorOSystemVersion	3|OSystem version 5.3 is above 5.2"
  "a listing without imports|DLL Name|Name|listing was not understood")

set(failures)
set(index 0)
foreach(entry IN LISTS cases)
  string(REPLACE "|" ";" fields "${entry}")
  list(GET fields 0 name)
  list(GET fields 1 from)
  list(GET fields 2 to)
  list(LENGTH fields count)
  set(expected "")
  if(count GREATER 3)
    list(GET fields 3 expected)
  endif()
  string(FIND "${sound}" "${from}" at)
  if(at EQUAL -1)
    list(APPEND failures "${name}: the sound listing has no '${from}'")
    continue()
  endif()
  string(REPLACE "${from}" "${to}" listing "${sound}")
  math(EXPR index "${index} + 1")
  set(file "${WORK}/imports_case_${index}.txt")
  file(WRITE "${file}" "${listing}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DLISTING=${file} -P ${CHECK}
                  RESULT_VARIABLE result ERROR_VARIABLE complaint OUTPUT_QUIET)
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      list(APPEND failures "${name}: refused, expected to pass:\n${complaint}")
    endif()
  elseif(result EQUAL 0)
    list(APPEND failures "${name}: passed, expected '${expected}'")
  else()
    string(REGEX REPLACE "[ \t\n]+" " " flat "${complaint}")
    string(FIND "${flat}" "${expected}" found)
    if(found EQUAL -1)
      list(APPEND failures "${name}: refused without '${expected}':\n${complaint}")
    endif()
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n" text)
  message(FATAL_ERROR "${text}")
endif()
