# kq_library(<name> [WIN32_ONLY] SOURCES ... [LIBS ...])
#   A static library of project code, with the project's warnings.
function(kq_library name)
  cmake_parse_arguments(L "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${L_SOURCES})
  target_link_libraries(${name} PUBLIC kq_flags ${L_LIBS})
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
