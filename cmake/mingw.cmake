# Cross-compiles for Windows with MinGW-w64 (posix thread model, so that
# std::mutex exists for GoogleTest), for the processor that the including
# toolchain file names. Tests run under Wine (cmake/QuorvelWin32.cmake names
# the emulator, once the build knows its image).
set(CMAKE_SYSTEM_NAME Windows)

set(quorvel_triplet "${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32")
set(CMAKE_C_COMPILER ${quorvel_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quorvel_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${quorvel_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${quorvel_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
