# Windows-side tests, cross-compiled and run under Wine by ctest.

# The test programs lie beside Quorvel.exe and the programs they start, in
# the build folder as in the test kit, and find them there; the sample message
# lies there too. Under Wine, wine-exec gives them the fixture's pen drive as
# the pen folder (QUORVEL_PEN) and names the fixture's drives.
configure_file("${QUORVEL_SAMPLE_MESSAGE}" "${CMAKE_BINARY_DIR}/mensagem.txt" COPYONLY)

# End-to-end: the real Quorvel.exe, run from the pen folder and inspected from
# this process, which is per-monitor aware as Quorvel is (the same resources).
# oleacc for the screen reader's view. MinGW-w64's x86_64 oleacc import
# library declares IID_IAccessible as a function, so the tests name the
# interfaces by __uuidof.
file(GLOB QUORVEL_E2E_SOURCES CONFIGURE_DEPENDS win/e2e_*.cpp)
add_executable(quorvel_e2e_tests ${QUORVEL_E2E_SOURCES} "${QUORVEL_RESOURCE_SCRIPT}")
target_link_libraries(quorvel_e2e_tests PRIVATE quorvel_platform_win32 quorvel_drive ${QUORVEL_GTEST_MAIN} oleacc oleaut32
                                                ntdll psapi)
target_include_directories(quorvel_e2e_tests PRIVATE $<TARGET_PROPERTY:Quorvel,INCLUDE_DIRECTORIES>)
add_dependencies(quorvel_e2e_tests Quorvel)
quorvel_wine_test(e2e TIMEOUT 900 COMMAND quorvel_e2e_tests)
# The picture buttons as a screen reader sees them, at 150 % too.
quorvel_wine_test(e2e-accessibility-dpi-144 TIMEOUT 300 ENVIRONMENT QUORVEL_DPI=144
                  COMMAND quorvel_e2e_tests --gtest_filter=AccessibilityTest.*)

# The drive report's sizes in the user's number format, under two locales that
# group digits with different separators. Wine takes the user's locale from the
# Unix LC_ALL that it starts with.
foreach(locale en-US pt-PT)
  string(REPLACE "-" "_" unix_locale "${locale}")
  quorvel_wine_test(e2e-report-${locale} TIMEOUT 300
    ENVIRONMENT LC_ALL=${unix_locale}.UTF-8 QUORVEL_EXPECT_LOCALE=${locale}
    COMMAND quorvel_e2e_tests --gtest_filter=WindowTest.TheReport*:WindowTest.AShare*)
endforeach()

# Libraries under system names, for the end-to-end tests to plant beside the
# program, each leaving a marker if it is ever loaded.
foreach(name comctl32 gdiplus windowscodecs uxtheme propsys msimg32 shcore shlwapi)
  add_library(planted_${name} SHARED win/planted/planted_dll.c)
  target_compile_definitions(planted_${name} PRIVATE "PLANTED_NAME=L\"${name}\"")
  set_target_properties(planted_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/planted")
  target_link_options(planted_${name} PRIVATE $<$<BOOL:${MINGW}>:-static>)
  add_dependencies(quorvel_e2e_tests planted_${name})
endforeach()

# QuorvelFault.exe, the program with a failure in the Image3 handler, beside
# Quorvel.exe.
add_executable(QuorvelFault WIN32 win/quorvel_fault.cpp "${QUORVEL_RESOURCE_SCRIPT}")
target_include_directories(QuorvelFault PRIVATE $<TARGET_PROPERTY:Quorvel,INCLUDE_DIRECTORIES>)
target_link_libraries(QuorvelFault PRIVATE quorvel_app)
quorvel_windows_program(QuorvelFault)
add_dependencies(QuorvelFault Quorvel)
add_dependencies(quorvel_e2e_tests QuorvelFault)

# In-process: the window built inside the test, for what only makes sense
# from inside (fonts, cursors, tool tips). It carries the program's resources,
# for the window's icon.
add_executable(quorvel_window_tests win/inproc_window_test.cpp "${QUORVEL_RESOURCE_SCRIPT}")
target_link_libraries(quorvel_window_tests PRIVATE quorvel_app quorvel_fake_services oleacc
                                                   ${QUORVEL_GTEST_MAIN})
target_include_directories(quorvel_window_tests PRIVATE
                           $<TARGET_PROPERTY:Quorvel,INCLUDE_DIRECTORIES>)
add_dependencies(quorvel_window_tests Quorvel)
quorvel_wine_test(window TIMEOUT 300 COMMAND quorvel_window_tests)
# The same at display scales above 100 %: wine-exec sets Wine's one DPI for
# the session from QUORVEL_DPI.
foreach(dpi 120 144 192)
  quorvel_wine_test(window-dpi-${dpi} TIMEOUT 300 ENVIRONMENT QUORVEL_DPI=${dpi}
                    COMMAND quorvel_window_tests)
endforeach()
# Under a dark scheme of distinct colours that wine-exec sets before the start,
# as a contrast theme would, at 100 % and 150 %; QUORVEL_EXPECT_COLOURS tells
# the test that checks it that it is in force.
set(dark QUORVEL_COLOURS=dark QUORVEL_EXPECT_COLOURS=dark)
quorvel_wine_test(window-dark TIMEOUT 300 ENVIRONMENT ${dark} COMMAND quorvel_window_tests)
quorvel_wine_test(window-dark-dpi-144 TIMEOUT 300 ENVIRONMENT QUORVEL_DPI=144 ${dark}
                  COMMAND quorvel_window_tests)

foreach(target quorvel_e2e_tests quorvel_window_tests)
  target_compile_definitions(${target} PRIVATE ${QUORVEL_WIN32_DEFINITIONS})
  target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src" "${PROJECT_SOURCE_DIR}/tests")
  target_link_options(${target} PRIVATE $<$<BOOL:${MINGW}>:-static>)
endforeach()

if(QUORVEL_IMAGE STREQUAL "win32")
  # Quorvel.exe as the system sees it before it runs, and the release made
  # from it; and the release built twice, from two copies of the source in
  # differently named folders, at different times: the same bytes both times.
  # Both read files and run no Windows code. The checks run on Debian's own
  # python3, which has its pefile.
  add_test(NAME win32-release
           COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/win/release_check.py" "${CMAKE_COMMAND}"
                   "${CMAKE_OBJDUMP}" "${CMAKE_BINARY_DIR}" "${QUORVEL_ART_DIR}/quorvel.ico"
                   "${PROJECT_SOURCE_DIR}/resources/sample/mensagem.txt")
  set_tests_properties(win32-release PROPERTIES TIMEOUT 300)
  add_test(NAME win32-reproducible-release COMMAND "${PROJECT_SOURCE_DIR}/tests/reproducible-release")
  set_tests_properties(win32-reproducible-release PROPERTIES RUN_SERIAL TRUE TIMEOUT 900)
else()
  # The twin against the product that it stands in for, which the product's
  # own build makes (the win64 preset names its folder).
  set(QUORVEL_PRODUCT_DIR "" CACHE PATH "The build folder of the i686 Quorvel.exe")
  if(QUORVEL_PRODUCT_DIR)
    add_test(NAME win64-imports-match-win32
             COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/win/twin_imports.py"
                     "${QUORVEL_PRODUCT_DIR}/Quorvel.exe" "$<TARGET_FILE:Quorvel>")
  endif()
endif()

# The owner's message under a locale whose ANSI code page is UTF-8 and under
# Japanese: the shipped sample reads right under both, and "ANSI" text under
# the first is read as Windows-1252.
quorvel_wine_test(e2e-message-hi-IN TIMEOUT 300 ENVIRONMENT LC_ALL=hi_IN.UTF-8 QUORVEL_EXPECT_ACP=65001
                  COMMAND quorvel_e2e_tests --gtest_filter=WindowTest.TheSample*)
quorvel_wine_test(e2e-message-ja-JP TIMEOUT 300 ENVIRONMENT LC_ALL=ja_JP.UTF-8 QUORVEL_EXPECT_ACP=932
                  COMMAND quorvel_e2e_tests --gtest_filter=WindowTest.TheSample*)

# The test kit, and the kit run under Wine as a PC runs it, so that it cannot
# rot between runs on Windows.
include("${PROJECT_SOURCE_DIR}/cmake/TestKit.cmake")
quorvel_wine_test(kit TIMEOUT 1200
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/win/kit-under-wine" ${QUORVEL_IMAGE} "${QUORVEL_KIT}"
          "$<TARGET_FILE:Quorvel>")
