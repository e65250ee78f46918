# Packs the release: OUTPUT, a zip of the program and the sample message at its
# root, in that order, each with mode 644 and the time TIME, and no extra
# fields (zip -X: no owner, no Unix times); then SHA256SUMS beside it, with the
# hashes of the zip and of the program, which lies in the same folder.
# With SIGNATURE, a detached signature of the program, the zip holds the
# program with that signature attached by OSSLSIGNCODE, which must succeed;
# the signed program and the signature go to signed/ beside the zip, and
# SHA256SUMS gives their hashes too. SIGNATURE_CA, when not empty, stands for
# the system's authorities in osslsigncode's check of the signature.
# Run as a script:
#   cmake -DZIP=zip -DTOUCH=touch -DTIME=<touch -t time, in UTC> -DEXE=Quorvel.exe
#         -DMESSAGE=mensagem.txt -DSTAGE=<scratch folder> -DOUTPUT=<folder/name.zip>
#         [-DSIGNATURE=Quorvel.exe.p7s -DOSSLSIGNCODE=osslsigncode [-DSIGNATURE_CA=ca.pem]]
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

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(name "${OUTPUT}" NAME)
# Nothing of an earlier release is left should this one fail.
file(REMOVE "${OUTPUT}" "${folder}/SHA256SUMS" "${folder}/signed/Quorvel.exe")
set(copy "${folder}/signed/Quorvel.exe.p7s")
if(SIGNATURE)
  file(REAL_PATH "${SIGNATURE}" SIGNATURE)
endif()
if(EXISTS "${copy}")
  file(REAL_PATH "${copy}" copy)
endif()
if(NOT copy STREQUAL SIGNATURE)
  file(REMOVE "${copy}")
endif()

set(entries Quorvel.exe mensagem.txt)
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
if(SIGNATURE)
  # osslsigncode may write its output and still report that the signature
  # belongs to other bytes: only its exit status tells.
  set(trust "")
  if(SIGNATURE_CA)
    set(trust -CAfile "${SIGNATURE_CA}" -TSA-CAfile "${SIGNATURE_CA}")
  endif()
  run("${OSSLSIGNCODE}" attach-signature ${trust} -sigin "${SIGNATURE}" -in "${EXE}" -out "${STAGE}/Quorvel.exe")
else()
  file(COPY_FILE "${EXE}" "${STAGE}/Quorvel.exe")
endif()
file(COPY_FILE "${MESSAGE}" "${STAGE}/mensagem.txt")
foreach(entry IN LISTS entries)
  file(CHMOD "${STAGE}/${entry}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
run("${TOUCH}" -t "${TIME}" ${entries})
run("${ZIP}" -X -q "${OUTPUT}" ${entries})

file(SHA256 "${OUTPUT}" zip_hash)
file(SHA256 "${EXE}" exe_hash)
set(sums "${zip_hash}  ${name}\n${exe_hash}  Quorvel.exe\n")
if(SIGNATURE)
  file(MAKE_DIRECTORY "${folder}/signed")
  file(COPY_FILE "${STAGE}/Quorvel.exe" "${folder}/signed/Quorvel.exe")
  if(NOT copy STREQUAL SIGNATURE)
    file(COPY_FILE "${SIGNATURE}" "${folder}/signed/Quorvel.exe.p7s")
  endif()
  foreach(file signed/Quorvel.exe signed/Quorvel.exe.p7s)
    file(SHA256 "${folder}/${file}" hash)
    string(APPEND sums "${hash}  ${file}\n")
  endforeach()
endif()
file(WRITE "${folder}/SHA256SUMS" "${sums}")
