# The test kit: what a Windows PC needs to run the Windows-side tests from a
# pen drive or any folder (tests/win/WindowsTests.cmake includes this, once
# the test programs are defined). Quorvel-tests.zip in the build folder holds
# Quorvel.exe (for the product, the very bytes that the release zip holds),
# QuorvelFault.exe, the planted libraries, the test programs, their runner,
# the sample message and run-tests.cmd, which starts the runner.
add_executable(quorvel_kit_runner "${PROJECT_SOURCE_DIR}/tools/test-kit/kit_runner.cpp")
target_compile_definitions(quorvel_kit_runner PRIVATE ${QUORVEL_WIN32_DEFINITIONS})
target_link_options(quorvel_kit_runner PRIVATE $<$<BOOL:${MINGW}>:-static -municode>)

set(QUORVEL_KIT "${CMAKE_BINARY_DIR}/Quorvel-tests.zip")
set(QUORVEL_KIT_PROGRAM "$<TARGET_FILE:Quorvel>")
if(QUORVEL_IMAGE STREQUAL "win32" AND QUORVEL_SIGNATURE)
  set(QUORVEL_KIT_PROGRAM "${CMAKE_BINARY_DIR}/signed/Quorvel.exe")  # made by the package
endif()
set(QUORVEL_KIT_FILES
    "${QUORVEL_KIT_PROGRAM}" "$<TARGET_FILE:QuorvelFault>" "$<TARGET_FILE:quorvel_unit_tests>"
    "$<TARGET_FILE:quorvel_window_tests>" "$<TARGET_FILE:quorvel_e2e_tests>"
    "$<TARGET_FILE:quorvel_kit_runner>" "${QUORVEL_SAMPLE_MESSAGE}"
    "${PROJECT_SOURCE_DIR}/tools/test-kit/run-tests.cmd")
add_custom_command(
  OUTPUT "${QUORVEL_KIT}"
  COMMAND "${CMAKE_COMMAND}" "-DFILES=${QUORVEL_KIT_FILES}" "-DPLANTED=${CMAKE_BINARY_DIR}/planted"
          "-DSTAGE=${CMAKE_BINARY_DIR}/test-kit-stage" "-DOUTPUT=${QUORVEL_KIT}"
          -P "${PROJECT_SOURCE_DIR}/tools/test-kit/PackKit.cmake"
  DEPENDS ${QUORVEL_KIT_FILES} quorvel_e2e_tests "${PROJECT_SOURCE_DIR}/tools/test-kit/PackKit.cmake"
  COMMENT "Packing the test kit, Quorvel-tests.zip"
  VERBATIM)
add_custom_target(test-kit ALL DEPENDS "${QUORVEL_KIT}")
if(QUORVEL_IMAGE STREQUAL "win32" AND QUORVEL_SIGNATURE)
  add_dependencies(test-kit package)
endif()
