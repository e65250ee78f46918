# Windows-side tests, cross-compiled and run under Wine by ctest.

function(quorvel_windows_test target)
  target_compile_definitions(${target} PRIVATE ${QUORVEL_WIN32_DEFINITIONS})
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests")
  if(MINGW)
    target_link_options(${target} PRIVATE -static)
  endif()
endfunction()

# End-to-end: the real Quorvel.exe, run from the fixture's pen drive and
# inspected from this process.
file(GLOB QUORVEL_E2E_SOURCES CONFIGURE_DEPENDS win/e2e_*.cpp)
add_executable(quorvel_e2e_tests ${QUORVEL_E2E_SOURCES} win/program_under_test.cpp)
target_link_libraries(quorvel_e2e_tests PRIVATE quorvel_core ${QUORVEL_GTEST_MAIN} user32 gdi32 ole32
                                                oleaut32 uuid)
quorvel_windows_test(quorvel_e2e_tests)
add_dependencies(quorvel_e2e_tests Quorvel)
add_test(NAME e2e COMMAND quorvel_e2e_tests)
set_tests_properties(e2e PROPERTIES ENVIRONMENT
  "QUORVEL_EXE=$<TARGET_FILE:Quorvel>;QUORVEL_ART_DIR=${QUORVEL_ART_DIR}" RUN_SERIAL TRUE
                                    TIMEOUT 900)

# In-process: the window built inside the test, for what only makes sense
# from inside (fonts, cursors, tool tips), and the platform layer's own parts.
file(GLOB QUORVEL_WINDOW_TEST_SOURCES CONFIGURE_DEPENDS win/inproc_*.cpp)
if(QUORVEL_WINDOW_TEST_SOURCES)
  add_executable(quorvel_window_tests ${QUORVEL_WINDOW_TEST_SOURCES}
                                      "${PROJECT_SOURCE_DIR}/src/platform/fake/fake_services.cpp")
  target_link_libraries(quorvel_window_tests PRIVATE quorvel_win32 ${QUORVEL_GTEST_MAIN})
  quorvel_windows_test(quorvel_window_tests)
  add_test(NAME window COMMAND quorvel_window_tests)
  set_tests_properties(window PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endif()
