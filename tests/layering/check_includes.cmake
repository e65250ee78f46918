# Holds every include under src/ to the layering of the program's parts:
#   cmake -DSOURCE_DIR=<the repository> -P check_includes.cmake
# Fails, naming each offending line, when a part includes a header of a part
# that it may not use, or when portable code includes anything but the C++
# standard library: a Windows header above all.
cmake_minimum_required(VERSION 3.21)

# The parts that each part may include, itself among them. A new folder under
# src/ fails the check until it has its line here.
set(may_use_text text)
set(may_use_platform platform text)
set(may_use_message message platform text)
set(may_use_drive drive platform text)
set(may_use_ui ui text)
set(may_use_commands commands message drive platform text)
set(may_use_platform_win32 platform_win32 platform text)
set(may_use_app app commands platform_win32 platform message drive ui text)
set(portable_parts text platform message drive ui commands)

# "platform/win32/x.h" is in platform_win32, "platform/x.h" in platform,
# "drive/x.h" in drive; a name without a folder is in none.
function(part_of path out)
  string(REGEX MATCH "^(platform/[^/]+/|[^/]+/)" part "${path}")
  string(REGEX REPLACE "/$" "" part "${part}")
  string(REPLACE "/" "_" part "${part}")
  set(${out} "${part}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}/src" "${SOURCE_DIR}/src/*")
set(failures "")
foreach(file IN LISTS files)
  part_of("${file}" part)
  if(NOT DEFINED may_use_${part})
    string(APPEND failures "\n  src/${file}: its folder is no part of the layering")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/src/${file}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(include IN LISTS includes)
    if(include MATCHES "\"([^\"]*)\"")
      part_of("${CMAKE_MATCH_1}" used)
      if(NOT used IN_LIST may_use_${part})
        string(APPEND failures "\n  src/${file}: ${include} (${part} may use ${may_use_${part}})")
      endif()
    elseif(part IN_LIST portable_parts AND NOT include MATCHES "<[a-z_]+>")
      string(APPEND failures "\n  src/${file}: ${include} (portable code; C++ headers only)")
    endif()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that break the layering:${failures}")
endif()
