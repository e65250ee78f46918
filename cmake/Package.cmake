# The release: a zip that holds what an owner copies to the root of a pen
# drive, the program and a sample message in UTF-8, with no folder around
# them, and SHA256SUMS beside it that gives the hashes of the zip and of
# Quorvel.exe. `cmake --build <dir> --target package` makes both in <dir>,
# beside Quorvel.exe, building only the program first.
#
# With QUORVEL_SIGNATURE naming a published detached signature (the .p7s that
# scripts/sign wrote), the zip holds the signed program instead: that
# signature attached to the Quorvel.exe just built, which fails the build
# unless it was made for these very bytes. The signed program and the
# signature are also left in <dir>/signed, and SHA256SUMS covers all four.
# osslsigncode also checks the signature's certificates when it attaches it,
# against the system's authorities, or QUORVEL_SIGNATURE_CA (a PEM file).
#
# The zip is made with Info-ZIP's zip rather than CPack, which cannot fix the
# entries' times: every file in it carries QUORVEL_PACKAGE_TIME (UTC), so that
# its bytes depend on what it holds and not on when it was made.
find_program(QUORVEL_ZIP zip)
find_program(QUORVEL_TOUCH touch)
set(QUORVEL_PACKAGE_TIME 202601010000.00)  # touch -t: 1 January 2026, 00:00
set(QUORVEL_PACKAGE "${CMAKE_BINARY_DIR}/Quorvel-${QUORVEL_VERSION_TEXT}.zip")
set(QUORVEL_SIGNATURE "" CACHE FILEPATH "A detached signature of Quorvel.exe (.p7s) for the release")
set(QUORVEL_SIGNATURE_CA "" CACHE FILEPATH "The authority that the signature is checked against")
set(QUORVEL_SIGNED_OUTPUTS "")
set(QUORVEL_SIGNING "")
if(QUORVEL_SIGNATURE)
  find_program(QUORVEL_OSSLSIGNCODE osslsigncode REQUIRED)
  set(QUORVEL_SIGNED_OUTPUTS "${CMAKE_BINARY_DIR}/signed/Quorvel.exe")
  if(NOT QUORVEL_SIGNATURE STREQUAL "${CMAKE_BINARY_DIR}/signed/Quorvel.exe.p7s")
    list(APPEND QUORVEL_SIGNED_OUTPUTS "${CMAKE_BINARY_DIR}/signed/Quorvel.exe.p7s")
  endif()
  set(QUORVEL_SIGNING "-DSIGNATURE=${QUORVEL_SIGNATURE}" "-DOSSLSIGNCODE=${QUORVEL_OSSLSIGNCODE}"
                      "-DSIGNATURE_CA=${QUORVEL_SIGNATURE_CA}")
endif()
add_custom_command(
  OUTPUT "${QUORVEL_PACKAGE}" "${CMAKE_BINARY_DIR}/SHA256SUMS" ${QUORVEL_SIGNED_OUTPUTS}
  COMMAND "${CMAKE_COMMAND}" "-DZIP=${QUORVEL_ZIP}" "-DTOUCH=${QUORVEL_TOUCH}" ${QUORVEL_SIGNING}
          "-DTIME=${QUORVEL_PACKAGE_TIME}" "-DEXE=$<TARGET_FILE:Quorvel>"
          "-DMESSAGE=${QUORVEL_SAMPLE_MESSAGE}" "-DSTAGE=${CMAKE_BINARY_DIR}/package-stage"
          "-DOUTPUT=${QUORVEL_PACKAGE}" -P "${PROJECT_SOURCE_DIR}/cmake/PackRelease.cmake"
  DEPENDS Quorvel "${QUORVEL_SAMPLE_MESSAGE}" "${PROJECT_SOURCE_DIR}/cmake/PackRelease.cmake" ${QUORVEL_SIGNATURE}
  COMMENT "Packing Quorvel-${QUORVEL_VERSION_TEXT}.zip and SHA256SUMS"
  VERBATIM)
add_custom_target(package DEPENDS "${QUORVEL_PACKAGE}")
# A build folder configured when CPack made the zip still holds CPack's
# configuration, and CMake reserves the name `package` while that file is there.
file(REMOVE "${CMAKE_BINARY_DIR}/CPackConfig.cmake" "${CMAKE_BINARY_DIR}/CPackSourceConfig.cmake")
