include_guard(GLOBAL)

# Layers the build enforces. Every library of the project is portable (no
# windows.h, no COM: it builds natively) or belongs to the Windows layer.
# Windows libraries link portable ones, never the reverse, and no library
# links back to one that links it. Configuration stops when a portable
# library reaches a Windows library or a Windows system library, directly or
# through targets of no layer, or when the link graph has a cycle.

# The system libraries only Windows has; a portable library links none of them.
set(KQ_WINDOWS_SYSTEM_LIBRARIES
  advapi32 comctl32 comdlg32 crypt32 d2d1 dwrite gdi32 gdiplus imm32 kernel32 msimg32 ntdll ole32 oleacc
  oleaut32 rpcrt4 setupapi shell32 shlwapi user32 userenv uuid uxtheme version winmm winspool ws2_32)

# kq_layer(<target> PORTABLE|WIN32)
#   Puts a target that kq_library did not make (an interface or object
#   library, a deliverable) into its layer.
function(kq_layer target layer)
  if(NOT layer MATCHES "^(PORTABLE|WIN32)$")
    message(FATAL_ERROR "kq_layer(${target} ${layer}): the layer is PORTABLE or WIN32")
  endif()
  set_property(TARGET ${target} PROPERTY KQ_LAYER ${layer})
  set_property(GLOBAL APPEND PROPERTY KQ_LAYERED_TARGETS ${target})
endfunction()

# kq_library(<name> [WIN32_LAYER] SOURCES ... [LIBS ...])
#   A static library of project code, with the project's warnings. Without
#   WIN32_LAYER it is portable, and none of its sources may lie in a win32/ folder.
function(kq_library name)
  cmake_parse_arguments(L "WIN32_LAYER" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_link_libraries(${name} PUBLIC kq_flags ${L_LIBS})
  if(L_WIN32_LAYER)
    kq_layer(${name} WIN32)
    return()
  endif()
  kq_layer(${name} PORTABLE)
  foreach(source IN LISTS L_SOURCES)
    if(source MATCHES "^\\$<")
      continue()
    endif()
    get_filename_component(path ${source} ABSOLUTE)
    if(path MATCHES "/win32/")
      message(FATAL_ERROR "kq layers: portable library '${name}' has the Windows source ${source}; "
                          "give it WIN32_LAYER or move the source")
    endif()
  endforeach()
endfunction()

# kq_test(<name> SOURCES ... [LIBS ...] [PROPERTIES ...])
#   A GoogleTest program. Natively its cases are listed as native.*, in the
#   x86_64 Windows build as wine.* (run under wine64); the i686 build only compiles it.
function(kq_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE kq_flags ${T_LIBS} GTest::gmock GTest::gtest_main)
  if(NOT KQ_RUN_TESTS)
    return()
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(prefix "wine.")
    list(APPEND T_PROPERTIES FIXTURES_REQUIRED wine)
  else()
    set(prefix "native.")
  endif()
  gtest_discover_tests(${name}
    TEST_PREFIX "${prefix}"
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES ${T_PROPERTIES} TIMEOUT 300)
endfunction()

# The targets and libraries a target links, without generator expressions
# (a private link of a static library shows as $<LINK_ONLY:...>).
function(_kq_links target out)
  set(items)
  get_target_property(type ${target} TYPE)
  if(NOT type STREQUAL "INTERFACE_LIBRARY")
    get_target_property(direct ${target} LINK_LIBRARIES)
    if(direct)
      list(APPEND items ${direct})
    endif()
  endif()
  get_target_property(interface ${target} INTERFACE_LINK_LIBRARIES)
  if(interface)
    list(APPEND items ${interface})
  endif()
  set(links)
  foreach(item IN LISTS items)
    if(item MATCHES "^\\$<LINK_ONLY:([^$<>]+)>$")
      set(item ${CMAKE_MATCH_1})
    elseif(item MATCHES "\\$<")
      continue()
    endif()
    if(TARGET ${item})
      get_target_property(aliased ${item} ALIASED_TARGET)
      if(aliased)
        set(item ${aliased})
      endif()
    endif()
    list(APPEND links ${item})
  endforeach()
  list(REMOVE_DUPLICATES links)
  set(${out} ${links} PARENT_SCOPE)
endfunction()

function(_kq_windows_system_library item out)
  string(TOLOWER "${item}" name)
  string(REGEX REPLACE "^-l" "" name "${name}")
  string(REGEX REPLACE "^lib" "" name "${name}")
  string(REGEX REPLACE "(\\.dll)?\\.(lib|a)$" "" name "${name}")
  if(name IN_LIST KQ_WINDOWS_SYSTEM_LIBRARIES)
    set(${out} TRUE PARENT_SCOPE)
  else()
    set(${out} FALSE PARENT_SCOPE)
  endif()
endfunction()

# Appends to `violations` what the portable target `root` reaches through
# `target`: Windows targets and Windows system libraries. Portable targets are
# checked from their own root; targets of no layer are walked through.
function(_kq_walk_portable root target path)
  _kq_links(${target} links)
  foreach(item IN LISTS links)
    set(step "${path} -> ${item}")
    if(TARGET ${item})
      get_target_property(layer ${item} KQ_LAYER)
      if(layer STREQUAL "WIN32")
        list(APPEND violations "portable library '${root}' links the Windows library '${item}' (${step})")
      elseif(NOT layer AND NOT item IN_LIST visited)
        list(APPEND visited ${item})
        _kq_walk_portable(${root} ${item} "${step}")
      endif()
    else()
      _kq_windows_system_library(${item} windows)
      if(windows)
        list(APPEND violations "portable library '${root}' links the Windows system library '${item}' (${step})")
      endif()
    endif()
  endforeach()
  set(violations ${violations} PARENT_SCOPE)
  set(visited ${visited} PARENT_SCOPE)
endfunction()

# Depth-first search for a cycle through targets; `stack` is the path walked.
function(_kq_find_cycle target stack)
  list(APPEND stack ${target})
  _kq_links(${target} links)
  foreach(item IN LISTS links)
    if(NOT TARGET ${item} OR cycle)
      continue()
    endif()
    list(FIND stack ${item} at)
    if(at GREATER_EQUAL 0)
      list(SUBLIST stack ${at} -1 loop)
      list(APPEND loop ${item})
      list(JOIN loop " -> " cycle)
    elseif(NOT item IN_LIST finished)
      _kq_find_cycle(${item} "${stack}")
    endif()
  endforeach()
  list(APPEND finished ${target})
  set(finished ${finished} PARENT_SCOPE)
  set(cycle ${cycle} PARENT_SCOPE)
endfunction()

function(kq_check_layers)
  get_property(targets GLOBAL PROPERTY KQ_LAYERED_TARGETS)
  set(violations)
  foreach(target IN LISTS targets)
    get_target_property(layer ${target} KQ_LAYER)
    if(layer STREQUAL "PORTABLE")
      set(visited)
      _kq_walk_portable(${target} ${target} ${target})
    endif()
  endforeach()
  set(finished)
  set(cycle)
  foreach(target IN LISTS targets)
    if(NOT cycle AND NOT target IN_LIST finished)
      _kq_find_cycle(${target} "")
    endif()
  endforeach()
  if(cycle)
    list(APPEND violations "the link graph has a cycle: ${cycle}")
  endif()
  if(violations)
    list(JOIN violations "\n  " text)
    message(FATAL_ERROR "kq layers:\n  ${text}")
  endif()
endfunction()

# Checked once every folder has made its targets.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL kq_check_layers)
