# Configures the tiny project in layers/ once per case and checks that the
# layer check lets the sound layout through and stops each violation with its
# own message. Run with cmake -P; KQ_SOURCE_DIR is the project, WORK a scratch folder,
# GENERATOR and MAKE_PROGRAM those of the build that runs the check (a machine may
# have no program for CMake's default generator).

set(cases
  "sound|"
  "portable_links_windows|portable library 'core' links the Windows library 'windows'"
  "portable_links_system|portable library 'core' links the Windows system library 'Ole32'"
  "through_unlayered|portable library 'core' links the Windows system library '-lgdi32' \\(core -> helper -> -lgdi32\\)"
  "cycle|the link graph has a cycle: (core -> view -> model -> core|model -> core -> view -> model|view -> model -> core -> view)"
  "windows_source|portable library 'core' has the Windows source .*win32/unit.cpp")

set(failures)
foreach(entry IN LISTS cases)
  string(FIND "${entry}" "|" bar)
  string(SUBSTRING "${entry}" 0 ${bar} name)
  math(EXPR after "${bar} + 1")
  string(SUBSTRING "${entry}" ${after} -1 expected)
  set(build ${WORK}/${name})
  file(REMOVE_RECURSE ${build})
  execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${KQ_SOURCE_DIR}/tests/cmake/layers -B ${build}
            -G ${GENERATOR} -DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}
            -DKQ_SOURCE_DIR=${KQ_SOURCE_DIR} -DKQ_LAYER_CASE=${name}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  # CMake wraps its messages; the words are what counts.
  string(REGEX REPLACE "[ \t\r\n]+" " " output "${output}")
  if(expected STREQUAL "")
    if(NOT result EQUAL 0)
      list(APPEND failures "${name}: configuration failed\n${output}")
    endif()
  elseif(result EQUAL 0)
    list(APPEND failures "${name}: configuration passed; expected: ${expected}")
  elseif(NOT output MATCHES "kq layers:.*${expected}")
    list(APPEND failures "${name}: expected '${expected}' in\n${output}")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n\n" text)
  message(FATAL_ERROR "${text}")
endif()
