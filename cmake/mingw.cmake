# Cross-compiles for Windows with MinGW-w64 (posix thread model, so that
# std::mutex exists for GoogleTest), for the processor that the including
# toolchain file names. Tests run under Wine through the emulator, in the
# prefix of the image that this build makes.
set(CMAKE_SYSTEM_NAME Windows)

set(triplet "${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32")
set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(image win64)
else()
  set(image win32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine/wine-exec;${image}")
