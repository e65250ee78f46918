# The release: a zip that holds what an owner copies to the root of a pen
# drive, the program and a sample message in Windows-1252, with no folder
# around them, and SHA256SUMS beside it that gives the hashes of the zip and of
# Quorvel.exe. `cmake --build <dir> --target package` makes both in <dir>,
# beside Quorvel.exe, building only the program first.
#
# The zip is made with Info-ZIP's zip rather than CPack, which cannot fix the
# entries' times: every file in it carries QUORVEL_PACKAGE_TIME (UTC), so that
# its bytes depend on what it holds and not on when it was made.
find_program(QUORVEL_ZIP zip)
find_program(QUORVEL_TOUCH touch)
set(QUORVEL_PACKAGE_TIME 202601010000.00)  # touch -t: 1 January 2026, 00:00
set(QUORVEL_PACKAGE "${CMAKE_BINARY_DIR}/Quorvel-${QUORVEL_VERSION_TEXT}.zip")
set(QUORVEL_SAMPLE_MESSAGE "${PROJECT_SOURCE_DIR}/resources/sample/mensagem.txt")
add_custom_command(
  OUTPUT "${QUORVEL_PACKAGE}" "${CMAKE_BINARY_DIR}/SHA256SUMS"
  COMMAND "${CMAKE_COMMAND}" "-DZIP=${QUORVEL_ZIP}" "-DTOUCH=${QUORVEL_TOUCH}"
          "-DTIME=${QUORVEL_PACKAGE_TIME}" "-DEXE=$<TARGET_FILE:Quorvel>"
          "-DMESSAGE=${QUORVEL_SAMPLE_MESSAGE}" "-DSTAGE=${CMAKE_BINARY_DIR}/package-stage"
          "-DOUTPUT=${QUORVEL_PACKAGE}" -P "${PROJECT_SOURCE_DIR}/cmake/PackRelease.cmake"
  DEPENDS Quorvel "${QUORVEL_SAMPLE_MESSAGE}" "${PROJECT_SOURCE_DIR}/cmake/PackRelease.cmake"
  COMMENT "Packing Quorvel-${QUORVEL_VERSION_TEXT}.zip and SHA256SUMS"
  VERBATIM)
add_custom_target(package DEPENDS "${QUORVEL_PACKAGE}")
# A build folder configured when CPack made the zip still holds CPack's
# configuration, and CMake reserves the name `package` while that file is there.
file(REMOVE "${CMAKE_BINARY_DIR}/CPackConfig.cmake" "${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake")
