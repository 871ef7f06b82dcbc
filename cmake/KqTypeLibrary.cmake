# kq_type_library(IDL <file> TARGET <target> HEADERS <library> [TLB_PATH <variable>])
#   Compiles <file> with widl into <stem>.tlb and the C++ header <stem>_h.h in
#   the current binary folder. <target> builds both; the interface library
#   <library> gives the header's folder to the code that includes it; <variable>
#   receives the type library's path. A resource script embeds the type library
#   with `1 TYPELIB "<stem>.tlb"`.

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(KQ_WIDL_TARGET -m64)
else()
  set(KQ_WIDL_TARGET -m32)
endif()
# widl reads stdole2.tlb for importlib; Debian ships it with the 64-bit Wine
# only, and a type library does not depend on its bitness.
find_path(KQ_STDOLE2_DIR stdole2.tlb
  PATHS /usr/lib/x86_64-linux-gnu/wine/i386-windows /usr/lib/x86_64-linux-gnu/wine/x86_64-windows
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT KQ_STDOLE2_DIR)
  message(FATAL_ERROR "stdole2.tlb not found: install libwine-dev")
endif()

function(kq_type_library)
  cmake_parse_arguments(T "" "IDL;TARGET;HEADERS;TLB_PATH" "" ${ARGN})
  get_filename_component(idl ${T_IDL} ABSOLUTE)
  get_filename_component(stem ${T_IDL} NAME_WE)
  set(tlb ${CMAKE_CURRENT_BINARY_DIR}/${stem}.tlb)
  set(header ${CMAKE_CURRENT_BINARY_DIR}/${stem}_h.h)
  add_custom_command(
    OUTPUT ${tlb} ${header}
    COMMAND ${KQ_WIDL} ${KQ_WIDL_TARGET} -I/usr/include/wine/wine/windows -L ${KQ_STDOLE2_DIR}
            -t -T ${tlb} -h -H ${header} ${idl}
    DEPENDS ${idl}
    COMMENT "Type library ${stem}"
    VERBATIM)
  add_custom_target(${T_TARGET} DEPENDS ${tlb} ${header})
  # Generated code keeps its own warnings.
  add_library(${T_HEADERS} INTERFACE)
  target_include_directories(${T_HEADERS} SYSTEM INTERFACE ${CMAKE_CURRENT_BINARY_DIR})
  add_dependencies(${T_HEADERS} ${T_TARGET})
  kq_layer(${T_HEADERS} WIN32)
  if(T_TLB_PATH)
    set(${T_TLB_PATH} ${tlb} PARENT_SCOPE)
  endif()
endfunction()
