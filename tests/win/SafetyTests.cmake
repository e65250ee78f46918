# The program on a drive that anyone may have written to: planted libraries and
# a fault build.

# Libraries under system names, for the end-to-end tests to plant beside the
# program. Each leaves a marker if it is ever loaded.
set(QUORVEL_PLANTED_LIBRARIES comctl32 gdiplus windowscodecs version uxtheme propsys msimg32 shcore
                               shlwapi)
foreach(name IN LISTS QUORVEL_PLANTED_LIBRARIES)
  add_library(planted_${name} SHARED win/planted/planted_dll.c)
  target_compile_definitions(planted_${name} PRIVATE "PLANTED_NAME=L\"${name}\"")
  set_target_properties(planted_${name} PROPERTIES OUTPUT_NAME ${name} PREFIX ""
                        RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/planted")
  if(MINGW)
    target_link_options(planted_${name} PRIVATE -static)
  endif()
  add_dependencies(quorvel_e2e_tests planted_${name})
endforeach()
if(TARGET QuorvelFault)
  add_dependencies(quorvel_e2e_tests QuorvelFault)
endif()
