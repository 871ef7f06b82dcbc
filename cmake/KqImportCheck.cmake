# kq_loads_on_xp(<target>)
#   For a shipped binary (DLL or program): the host runs on every Windows from
#   XP SP3 on, and XP's loader refuses a whole module for one import it cannot
#   resolve, long after the build succeeded. So the target links the
#   GetTickCount64 slot that the thread runtime would otherwise import (see
#   common/win32/xp_tick_count.h), and after every link cmake/check_imports.cmake
#   reads the binary's import table and fails the build on a DLL outside the
#   systems' own or a function XP lacks.
set(KQ_IMPORT_CHECK_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/check_imports.cmake)

function(kq_loads_on_xp target)
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/common/win32/xp_tick_count.cpp)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DBINARY=$<TARGET_FILE:${target}>
            -P ${KQ_IMPORT_CHECK_SCRIPT}
    VERBATIM)
endfunction()
