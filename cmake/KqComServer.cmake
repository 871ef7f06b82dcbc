include_guard(GLOBAL)
# kq_com_server(<name> SOURCES ... LIBS ...)
#   A shipped in-process COM server <name>.dll of the one add-in class that LIBS
#   name as kq::win32::kServedAddin (common/win32/com_addin.h): it exports only
#   the four entry points of its .def file (among SOURCES), under their
#   undecorated names, in every build, which a check after each link makes sure
#   of; it carries static runtimes so that it needs nothing beside it; and the
#   host loads it on every system from Windows XP SP3 on.
function(kq_com_server name)
  cmake_parse_arguments(S "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} SHARED ${S_SOURCES} ${PROJECT_SOURCE_DIR}/common/win32/com_addin_exports.cpp)
  target_link_libraries(${name} PRIVATE kq_flags ${S_LIBS})
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++ -Wl,--enable-stdcall-fixup)
  set_target_properties(${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DLIBRARY=$<TARGET_FILE:${name}>
            -P ${PROJECT_SOURCE_DIR}/cmake/check_exports.cmake
    VERBATIM)
  kq_loads_on_xp(${name})
endfunction()
