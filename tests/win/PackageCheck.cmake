# Makes the release with the build's `package` target and checks it: the zip
# holds exactly the program and the sample message, at its root, in that order,
# byte for byte, and SHA256SUMS beside it gives the hashes of the zip and of the
# program. Run as a script:
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -DEXE=<Quorvel.exe>
#         -DMESSAGE=<mensagem.txt> -P PackageCheck.cmake
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE output WORKING_DIRECTORY "${WORK_DIR}/unpacked")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")
set(zip "${BUILD_DIR}/Quorvel-2.00.0002.zip")
file(REMOVE "${zip}" "${BUILD_DIR}/SHA256SUMS")
run("${CMAKE_COMMAND}" --build "${BUILD_DIR}" --target package)
file(GLOB made RELATIVE "${BUILD_DIR}" "${BUILD_DIR}/*.zip")
if(NOT made STREQUAL "Quorvel-2.00.0002.zip")
  message(FATAL_ERROR "the package target made [${made}], not Quorvel-2.00.0002.zip")
endif()

run("${CMAKE_COMMAND}" -E tar tf "${zip}")
if(NOT output STREQUAL "Quorvel.exe\nmensagem.txt\n")
  message(FATAL_ERROR "the zip holds, in this order:\n${output}not Quorvel.exe, mensagem.txt")
endif()
run("${CMAKE_COMMAND}" -E tar xf "${zip}")
foreach(pair "Quorvel.exe=${EXE}" "mensagem.txt=${MESSAGE}")
  string(REGEX MATCH "^([^=]*)=(.*)$" ignored "${pair}")
  file(SHA256 "${WORK_DIR}/unpacked/${CMAKE_MATCH_1}" packed)
  file(SHA256 "${CMAKE_MATCH_2}" built)
  if(NOT packed STREQUAL built)
    message(FATAL_ERROR "${CMAKE_MATCH_1} in the zip differs from ${CMAKE_MATCH_2}")
  endif()
endforeach()

file(SHA256 "${zip}" zip_hash)
file(SHA256 "${EXE}" exe_hash)
file(READ "${BUILD_DIR}/SHA256SUMS" sums)
if(NOT sums STREQUAL "${zip_hash}  Quorvel-2.00.0002.zip\n${exe_hash}  Quorvel.exe\n")
  message(FATAL_ERROR "SHA256SUMS beside the zip does not match it and Quorvel.exe:\n${sums}")
endif()
message(STATUS "Quorvel-2.00.0002.zip: Quorvel.exe and mensagem.txt; SHA256SUMS matches")
