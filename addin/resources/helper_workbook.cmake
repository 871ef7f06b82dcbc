# The helper workbook Kez_Quorvex.xla, made at build time from the macro
# sources kept beside this file by the project's own maker (tools/xla). The
# maker runs on the build machine: a native build makes it as one of its
# targets; a cross build configures a native build of the maker alone in its
# own folder, so that each preset stays self-contained.

set(KQ_HELPER_WORKBOOK ${CMAKE_BINARY_DIR}/addin/resources/Kez_Quorvex.xla
    CACHE INTERNAL "The helper workbook, made at build time")
set(KQ_HELPER_WORKBOOK_SOURCES ${CMAKE_CURRENT_LIST_DIR}/s_WorkbookAfterPrint.bas
    CACHE INTERNAL "The macro sources of the helper workbook")
set(helper_project Kez_Quorvex_Xla)

if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  find_program(KQ_BUILD_CC NAMES gcc cc REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  find_program(KQ_BUILD_CXX NAMES g++ c++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(tools_dir ${CMAKE_BINARY_DIR}/build-tools)
  set(helper_maker ${tools_dir}/tools/xla/kq_make_xla)
  ExternalProject_Add(kq_build_tools
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${tools_dir}
    CMAKE_ARGS -DKQ_BUILD_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release
               -DCMAKE_C_COMPILER=${KQ_BUILD_CC} -DCMAKE_CXX_COMPILER=${KQ_BUILD_CXX}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${tools_dir} --target kq_make_xla --parallel 2
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${helper_maker})
  set(helper_maker_depends kq_build_tools ${helper_maker})
else()
  set(helper_maker $<TARGET_FILE:kq_make_xla>)
  set(helper_maker_depends kq_make_xla)
endif()

add_custom_command(
  OUTPUT ${KQ_HELPER_WORKBOOK}
  COMMAND ${helper_maker} ${helper_project} ${KQ_HELPER_WORKBOOK} ${KQ_HELPER_WORKBOOK_SOURCES}
  DEPENDS ${helper_maker_depends} ${KQ_HELPER_WORKBOOK_SOURCES}
  COMMENT "Helper workbook Kez_Quorvex.xla"
  VERBATIM)
add_custom_target(kq_helper_workbook ALL DEPENDS ${KQ_HELPER_WORKBOOK})
