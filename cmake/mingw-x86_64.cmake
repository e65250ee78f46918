# The test twin: the same source for 64-bit Windows, run under wine64 where a
# machine cannot execute 32-bit code. Never a release.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/mingw.cmake")
