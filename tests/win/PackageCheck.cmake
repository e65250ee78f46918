# Makes the release package from the build tree and checks that it unpacks to
# exactly the program and the sample message, at its root, byte for byte.
# Run as a script:
#   cmake -DCPACK=cpack -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -DEXE=<Quorvel.exe>
#         -DMESSAGE=<mensagem.txt> -P PackageCheck.cmake
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/unpacked")

execute_process(
  COMMAND "${CPACK}" --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK_DIR}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()

file(GLOB packages "${WORK_DIR}/*.zip")
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one zip, found: ${packages}")
endif()
get_filename_component(name "${packages}" NAME)
if(NOT name STREQUAL "Quorvel-2.00.0002.zip")
  message(FATAL_ERROR "unexpected package name ${name}")
endif()

execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar tf "${packages}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${name}: ${errors}")
endif()
string(STRIP "${listing}" listing)
string(REPLACE "\n" ";" entries "${listing}")
list(SORT entries)
if(NOT entries STREQUAL "Quorvel.exe;mensagem.txt")
  message(FATAL_ERROR "${name} holds [${entries}], not just Quorvel.exe and mensagem.txt")
endif()

execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${packages}"
                WORKING_DIRECTORY "${WORK_DIR}/unpacked" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot unpack ${name}")
endif()
foreach(pair "Quorvel.exe=${EXE}" "mensagem.txt=${MESSAGE}")
  string(REGEX MATCH "^([^=]*)=(.*)$" ignored "${pair}")
  file(SHA256 "${WORK_DIR}/unpacked/${CMAKE_MATCH_1}" packed)
  file(SHA256 "${CMAKE_MATCH_2}" built)
  if(NOT packed STREQUAL built)
    message(FATAL_ERROR "${CMAKE_MATCH_1} in ${name} differs from ${CMAKE_MATCH_2}")
  endif()
endforeach()
message(STATUS "${name}: Quorvel.exe and mensagem.txt")
