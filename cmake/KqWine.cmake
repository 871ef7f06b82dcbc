# Runs the x86_64 Windows tests under wine64 in a private prefix of this build folder.
set(KQ_RUN_TESTS OFF)
if(NOT CMAKE_CROSSCOMPILING)
  set(KQ_RUN_TESTS ON)
elseif(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64" AND EXISTS /usr/lib/wine/wine64)
  set(KQ_RUN_TESTS ON)
  set(KQ_WINE_SESSION ${PROJECT_SOURCE_DIR}/scripts/wine-session.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${KQ_WINE_SESSION};run;${CMAKE_BINARY_DIR}")
  add_test(NAME wine.session.start COMMAND ${KQ_WINE_SESSION} start ${CMAKE_BINARY_DIR})
  set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine)
  add_test(NAME wine.session.stop COMMAND ${KQ_WINE_SESSION} stop ${CMAKE_BINARY_DIR})
  set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine)
  # The session script itself, in a folder of its own with stand-ins for Wine:
  # stale records, a display that stops answering, no display at all.
  add_test(NAME wine.session.script
    COMMAND ${PROJECT_SOURCE_DIR}/tests/scripts/wine_session_test.sh ${KQ_WINE_SESSION})
  set_tests_properties(wine.session.script PROPERTIES TIMEOUT 180)
endif()
