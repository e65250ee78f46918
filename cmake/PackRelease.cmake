# Packs the release: OUTPUT, a zip of the program and the sample message at its
# root, in that order, each with mode 644 and the time TIME, and no extra
# fields (zip -X: no owner, no Unix times); then SHA256SUMS beside it, with the
# hashes of the zip and of the program, which lies in the same folder.
# Run as a script:
#   cmake -DZIP=zip -DTOUCH=touch -DTIME=<touch -t time, in UTC> -DEXE=Quorvel.exe
#         -DMESSAGE=mensagem.txt -DSTAGE=<scratch folder> -DOUTPUT=<folder/name.zip>
#         -P PackRelease.cmake
if(NOT ZIP OR NOT TOUCH)
  message(FATAL_ERROR "the release zip needs Info-ZIP's zip and touch")
endif()
# touch -t reads a local time and zip writes one: both in UTC, so that no time
# zone's rules (a summer-time gap, say) come between them.
set(ENV{TZ} UTC0)

function(run)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed:\n${output}")
  endif()
endfunction()

set(entries Quorvel.exe mensagem.txt)
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(COPY_FILE "${EXE}" "${STAGE}/Quorvel.exe")
file(COPY_FILE "${MESSAGE}" "${STAGE}/mensagem.txt")
foreach(entry IN LISTS entries)
  file(CHMOD "${STAGE}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
run("${TOUCH}" -t "${TIME}" ${entries})
file(REMOVE "${OUTPUT}")
run("${ZIP}" -X -q "${OUTPUT}" ${entries})

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(name "${OUTPUT}" NAME)
file(SHA256 "${OUTPUT}" zip_hash)
file(SHA256 "${STAGE}/Quorvel.exe" exe_hash)
file(WRITE "${folder}/SHA256SUMS" "${zip_hash}  ${name}\n${exe_hash}  Quorvel.exe\n")
