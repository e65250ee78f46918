# The Windows program: a static library with the window and the platform layer
# (so that Windows-side tests can build the window in-process), and the
# executable around it.

set(QUORVEL_WIN32_DEFINITIONS
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

file(GLOB QUORVEL_WIN32_SOURCES CONFIGURE_DEPENDS src/app/*.cpp src/platform/win32/*.cpp)
list(FILTER QUORVEL_WIN32_SOURCES EXCLUDE REGEX "/src/app/main\\.cpp$")

add_library(quorvel_win32 STATIC ${QUORVEL_WIN32_SOURCES})
target_compile_definitions(quorvel_win32 PUBLIC ${QUORVEL_WIN32_DEFINITIONS})
target_link_libraries(quorvel_win32 PUBLIC quorvel_core user32 gdi32 shell32 ole32 oleaut32
                                           uuid)

function(quorvel_windows_program target)
  if(MINGW)
    # The runtime goes into the executable, so that nothing has to be installed
    # beside it; -municode gives wWinMain.
    target_link_options(${target} PRIVATE -static -municode -Wl,--major-image-version,2
                        -Wl,--minor-image-version,0)
  elseif(MSVC)
    target_link_options(${target} PRIVATE /VERSION:2.0)
  endif()
endfunction()

add_executable(Quorvel WIN32 src/app/main.cpp)
target_link_libraries(Quorvel PRIVATE quorvel_win32)
quorvel_windows_program(Quorvel)
set_target_properties(Quorvel PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
