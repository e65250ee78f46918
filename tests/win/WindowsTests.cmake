# Windows-side tests, cross-compiled and run under Wine by ctest.

# A test program that builds the window in-process: it carries the program's
# resources, for the window's icon.
function(quorvel_in_process_test target)
  target_sources(${target} PRIVATE "${QUORVEL_RESOURCE_SCRIPT}")
  target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:Quorvel,INCLUDE_DIRECTORIES>)
  add_dependencies(${target} Quorvel)
  quorvel_windows_test(${target})
endfunction()

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
target_link_libraries(quorvel_e2e_tests PRIVATE quorvel_ui ${QUORVEL_GTEST_MAIN} user32 gdi32 ole32
                                                oleaut32 uuid)
quorvel_windows_test(quorvel_e2e_tests)
add_dependencies(quorvel_e2e_tests Quorvel)
add_test(NAME e2e COMMAND quorvel_e2e_tests)
set_tests_properties(e2e PROPERTIES ENVIRONMENT
  "QUORVEL_EXE=$<TARGET_FILE:Quorvel>;QUORVEL_ART_DIR=${QUORVEL_ART_DIR}" RUN_SERIAL TRUE
                                    TIMEOUT 900)

# In-process: the window built inside the test, for what only makes sense
# from inside (fonts, cursors, tool tips).
file(GLOB QUORVEL_WINDOW_TEST_SOURCES CONFIGURE_DEPENDS win/inproc_*.cpp)
if(QUORVEL_WINDOW_TEST_SOURCES)
  add_executable(quorvel_window_tests ${QUORVEL_WINDOW_TEST_SOURCES})
  target_link_libraries(quorvel_window_tests PRIVATE quorvel_app quorvel_fake_services
                                                     ${QUORVEL_GTEST_MAIN})
  quorvel_in_process_test(quorvel_window_tests)
  add_test(NAME window COMMAND quorvel_window_tests)
  set_tests_properties(window PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
endif()

# The layout test reads another process's current directory through ntdll.
target_link_libraries(quorvel_e2e_tests PRIVATE ntdll)

# Quorvel.exe as the system sees it before it runs, and the release made from
# it.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME release
         COMMAND "${Python3_EXECUTABLE}" "${CMAKE_CURRENT_SOURCE_DIR}/win/release_check.py"
                 "${CMAKE_COMMAND}" "${CMAKE_BINARY_DIR}" "${QUORVEL_ART_DIR}/quorvel.ico"
                 "${PROJECT_SOURCE_DIR}/resources/sample/mensagem.txt")
set_tests_properties(release PROPERTIES TIMEOUT 300)
# The release built twice, from two copies of the source in differently named
# folders, at different times: the same bytes both times.
add_test(NAME reproducible-release COMMAND "${PROJECT_SOURCE_DIR}/tests/reproducible-release")
set_tests_properties(reproducible-release PROPERTIES RUN_SERIAL TRUE TIMEOUT 900)
include(win/SafetyTests.cmake)

# The drive report's sizes in the user's number format, under two locales that
# group digits with different separators. Wine takes the user's locale from the
# Unix LC_ALL that it starts with.
foreach(locale en-US pt-PT)
  string(REPLACE "-" "_" unix_locale "${locale}")
  add_test(NAME e2e-report-${locale}
           COMMAND quorvel_e2e_tests
                   --gtest_filter=DriveReportTest.PenDriveReportInTheUsersNumberFormat)
  set_tests_properties(e2e-report-${locale} PROPERTIES
    ENVIRONMENT "QUORVEL_EXE=$<TARGET_FILE:Quorvel>;LC_ALL=${unix_locale}.UTF-8;QUORVEL_EXPECT_LOCALE=${locale}"
    RUN_SERIAL TRUE TIMEOUT 300)
endforeach()
