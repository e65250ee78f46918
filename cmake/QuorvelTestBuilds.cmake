# Builds of the program made only for its tests; Quorvel.exe is not among them.

if(QUORVEL_FAULT_BUILD)
  # QuorvelFault.exe: the program with a failure in the Image3 handler, to show
  # that an unexpected failure ends in the program's own message box.
  add_executable(QuorvelFault WIN32 tests/win/fault/fault_main.cpp tests/win/fault/inject_fault.cpp
                                    "${QUORVEL_RESOURCE_SCRIPT}")
  target_include_directories(QuorvelFault PRIVATE $<TARGET_PROPERTY:Quorvel,INCLUDE_DIRECTORIES>)
  target_link_libraries(QuorvelFault PRIVATE quorvel_app)
  quorvel_windows_program(QuorvelFault)
  add_dependencies(QuorvelFault Quorvel)
  set_target_properties(QuorvelFault PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
endif()
