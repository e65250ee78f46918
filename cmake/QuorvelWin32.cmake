# The Windows program: the platform's Win32 side and the window as static
# libraries (so that Windows-side tests can build the window in-process), and
# the executable around them.

# The image that this build makes: win32, the product, or win64, its test
# twin for machines that cannot execute 32-bit code, which is never released.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(QUORVEL_IMAGE win64)
else()
  set(QUORVEL_IMAGE win32)
endif()

# Cross-built, the Windows programs that ctest runs run under Wine, in the
# image's own prefix.
if(CMAKE_CROSSCOMPILING)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_SOURCE_DIR}/scripts/wine/wine-exec;${QUORVEL_IMAGE}")
endif()

# A test that runs Windows code:
#   quorvel_wine_test(<name> TIMEOUT <seconds> [ENVIRONMENT <var=value>...] COMMAND <command>...)
# It is named after its image (win32-e2e, win64-e2e), so that one summary
# over both builds tells them apart, and labelled wine-<image>, so that a run
# can leave out an image that the machine cannot execute. One at a time: the
# image's tests share its Wine prefix.
function(quorvel_wine_test name)
  cmake_parse_arguments(PARSE_ARGV 1 test "" TIMEOUT "ENVIRONMENT;COMMAND")
  add_test(NAME ${QUORVEL_IMAGE}-${name} COMMAND ${test_COMMAND})
  set_tests_properties(${QUORVEL_IMAGE}-${name} PROPERTIES LABELS wine-${QUORVEL_IMAGE} RUN_SERIAL TRUE
                       TIMEOUT ${test_TIMEOUT} ENVIRONMENT "${test_ENVIRONMENT}")
endfunction()

# Every program of the build in the build folder itself: the test programs
# find the programs under test beside them, there as in the test kit.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")

set(QUORVEL_WIN32_DEFINITIONS
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

quorvel_library(quorvel_platform_win32 platform/win32 quorvel_platform quorvel_text user32 gdi32
                ole32)
target_compile_definitions(quorvel_platform_win32 PUBLIC ${QUORVEL_WIN32_DEFINITIONS})

# The window, the picture buttons, the tool tips and the artwork.
file(GLOB QUORVEL_APP_SOURCES CONFIGURE_DEPENDS src/app/*.cpp)
list(FILTER QUORVEL_APP_SOURCES EXCLUDE REGEX "/src/app/(main|runtime_support)\\.cpp$")
add_library(quorvel_app STATIC ${QUORVEL_APP_SOURCES})
target_link_libraries(quorvel_app PUBLIC quorvel_platform_win32 quorvel_commands quorvel_message quorvel_drive
                                         quorvel_ui user32 gdi32 ole32 oleaut32 uuid)

# Size: the program starts from a pen drive each time one is plugged in. Each
# function and datum in its own section, so that the linker drops what nothing
# uses. No C++ exceptions, unwind tables or run-time type information: a
# failure goes straight to the fatal-error box (src/app/runtime_support.cpp
# covers the runtime's own failures), and without them the statically linked
# runtime leaves out its unwinder, the exception classes, the strings they
# hold and the thread library under them. The program has one thread, so
# local statics need no guard either.
if(MINGW)
  set(QUORVEL_PROGRAM_COMPILE_OPTIONS
      -ffunction-sections -fdata-sections -fno-exceptions -fno-rtti
      -fno-asynchronous-unwind-tables -fno-threadsafe-statics)
  # Hardening: a canary in every frame that holds an array or a local whose
  # address is taken, and the C library's copies checked against the sizes
  # that the compiler knows. src/app/runtime_support.cpp answers a failure of
  # either in the programs; anything else that links this code (the tests)
  # takes GCC's libssp.
  list(APPEND QUORVEL_PROGRAM_COMPILE_OPTIONS -fstack-protector-strong -D_FORTIFY_SOURCE=2)
  add_link_options(-fstack-protector-strong)
  foreach(library IN LISTS QUORVEL_PORTABLE_LIBRARIES ITEMS quorvel_platform_win32 quorvel_app)
    target_compile_options(${library} PRIVATE ${QUORVEL_PROGRAM_COMPILE_OPTIONS})
  endforeach()
endif()

if(MINGW)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
endif()

function(quorvel_windows_program target)
  if(MINGW)
    # The runtime goes into the executable, so that nothing has to be installed
    # beside it; -municode gives wWinMain. Unused sections dropped, symbols
    # stripped. No link time in the header, so that anyone who builds the same
    # source gets the same bytes.
    target_compile_options(${target} PRIVATE ${QUORVEL_PROGRAM_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE -static -municode -s -Wl,--gc-sections
                        -Wl,--no-insert-timestamp)
    # Windows 7 is the floor: the subsystem and system versions say so. From
    # subsystem 6 on, Windows may give the window other frame metrics; the
    # form's outer size comes from AdjustWindowRectEx, which follows them, so
    # the client area stays exact. The program is aware of Remote Desktop,
    # which would otherwise apply its compatibility shims. On i686, no
    # exception handler in the image may ever be called: it registers none
    # (the release check proves it), so an overwritten handler record on the
    # stack cannot point into it.
    target_link_options(${target} PRIVATE -Wl,--tsaware -Wl,--major-subsystem-version,6
                        -Wl,--minor-subsystem-version,1 -Wl,--major-os-version,6
                        -Wl,--minor-os-version,1 $<$<STREQUAL:${QUORVEL_IMAGE},win32>:-Wl,--no-seh>)
    target_sources(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src/app/runtime_support.cpp")
    # The image version in the header, the project's major.minor. CMake puts
    # the target's VERSION (0.0 when unset) after the link options, so this
    # goes among the libraries, after it; the property itself would rename the
    # executable.
    target_link_libraries(
      ${target} PRIVATE
      -Wl,--major-image-version,${PROJECT_VERSION_MAJOR},--minor-image-version,${PROJECT_VERSION_MINOR})
    # Run from the page file when started from a pen or a share: GNU ld has
    # no switch for it, so the header bits are set after the link.
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND "${Python3_EXECUTABLE}" "${PROJECT_SOURCE_DIR}/tools/pe_run_from_swap.py"
                               "$<TARGET_FILE:${target}>"
                       VERBATIM)
  elseif(MSVC)
    target_link_options(${target} PRIVATE
                        /VERSION:${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR} /SWAPRUN:CD,NET
                        /SUBSYSTEM:WINDOWS,6.01 /TSAWARE $<$<STREQUAL:${QUORVEL_IMAGE},win32>:/SAFESEH>)
  endif()
endfunction()

# The resource script, with the project's version filled in, written beside the
# application icon's statements that it includes.
set(QUORVEL_RESOURCE_DIR "${CMAKE_BINARY_DIR}/generated/resources")
set(QUORVEL_RESOURCE_SCRIPT "${QUORVEL_RESOURCE_DIR}/quorvel.rc")
configure_file(resources/quorvel.rc.in "${QUORVEL_RESOURCE_SCRIPT}" @ONLY)

add_executable(Quorvel WIN32 src/app/main.cpp "${QUORVEL_RESOURCE_SCRIPT}")
target_link_libraries(Quorvel PRIVATE quorvel_app)
quorvel_windows_program(Quorvel)
set_target_properties(Quorvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")

# The button pictures and the hand cursor, each also drawn for larger displays,
# are compiled in as data: the resources hold only the version block and the
# icon group.
set(QUORVEL_ART_DIR "${PROJECT_SOURCE_DIR}/resources/art" CACHE PATH "The committed artwork")
# The sample message that the release and the test kit carry.
set(QUORVEL_SAMPLE_MESSAGE "${PROJECT_SOURCE_DIR}/resources/sample/mensagem.txt")
set(QUORVEL_EMBEDDED_ART
    kImage1Gif=${QUORVEL_ART_DIR}/image1.gif kImage2Gif=${QUORVEL_ART_DIR}/image2.gif
    kImage3Gif=${QUORVEL_ART_DIR}/image3.gif kImage4Gif=${QUORVEL_ART_DIR}/image4.gif
    kImage1Gif2x=${QUORVEL_ART_DIR}/image1@2x.gif kImage2Gif2x=${QUORVEL_ART_DIR}/image2@2x.gif
    kImage3Gif2x=${QUORVEL_ART_DIR}/image3@2x.gif kImage4Gif2x=${QUORVEL_ART_DIR}/image4@2x.gif
    kHandCursor=${QUORVEL_ART_DIR}/hand.cur kHandCursor48=${QUORVEL_ART_DIR}/hand-48.cur
    kHandCursor64=${QUORVEL_ART_DIR}/hand-64.cur)
set(QUORVEL_ART_SOURCE "${CMAKE_BINARY_DIR}/generated/artwork_data.cpp")
set(QUORVEL_ART_FILES ${QUORVEL_EMBEDDED_ART})
list(TRANSFORM QUORVEL_ART_FILES REPLACE "^[^=]*=" "")
add_custom_command(
  OUTPUT "${QUORVEL_ART_SOURCE}"
  COMMAND "${CMAKE_COMMAND}" "-DOUTPUT=${QUORVEL_ART_SOURCE}" "-DFILES=${QUORVEL_EMBEDDED_ART}"
          -P "${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake"
  DEPENDS ${QUORVEL_ART_FILES} "${PROJECT_SOURCE_DIR}/cmake/EmbedFiles.cmake"
  COMMENT "Compiling the artwork in"
  VERBATIM)
target_sources(quorvel_app PRIVATE "${QUORVEL_ART_SOURCE}")

# The application icon's resource statements, written from the committed icon
# into a folder on the resource compiler's include path.
set(QUORVEL_ICON_SCRIPT "${QUORVEL_RESOURCE_DIR}/application_icon.rc")
add_custom_command(
  OUTPUT "${QUORVEL_ICON_SCRIPT}"
  COMMAND "${CMAKE_COMMAND}" "-DICO=${QUORVEL_ART_DIR}/quorvel.ico" "-DOUTPUT=${QUORVEL_ICON_SCRIPT}"
          -DGROUP_ID=1 -DFIRST_ID=30001 -P "${PROJECT_SOURCE_DIR}/cmake/IconGroup.cmake"
  DEPENDS "${QUORVEL_ART_DIR}/quorvel.ico" "${PROJECT_SOURCE_DIR}/cmake/IconGroup.cmake"
  COMMENT "Writing the application icon's resources"
  VERBATIM)
set_source_files_properties("${QUORVEL_RESOURCE_SCRIPT}" PROPERTIES OBJECT_DEPENDS
                            "${QUORVEL_ICON_SCRIPT};${PROJECT_SOURCE_DIR}/resources/quorvel.manifest")
target_include_directories(Quorvel PRIVATE "${QUORVEL_RESOURCE_DIR}" "${PROJECT_SOURCE_DIR}/resources")

if(QUORVEL_IMAGE STREQUAL "win32")
  include(cmake/Package.cmake)
  # cmake --install puts what an owner copies to a pen drive into the prefix,
  # side by side, since the program reads the message from its own folder.
  install(TARGETS Quorvel RUNTIME DESTINATION .)
  install(FILES "${QUORVEL_SAMPLE_MESSAGE}" DESTINATION .)
endif()
