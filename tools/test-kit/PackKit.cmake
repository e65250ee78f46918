# Packs the test kit: OUTPUT, a zip of FILES (a list) at its root and of the
# planted libraries in PLANTED under planted/, staged in STAGE.
#   cmake -DFILES=<a;b;...> -DPLANTED=<folder> -DSTAGE=<folder> -DOUTPUT=<zip> -P PackKit.cmake
file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}/planted")
set(entries planted)
foreach(path IN LISTS FILES)
  get_filename_component(name "${path}" NAME)
  file(COPY_FILE "${path}" "${STAGE}/${name}")
  list(APPEND entries "${name}")
endforeach()
file(GLOB planted "${PLANTED}/*.dll")
file(COPY ${planted} DESTINATION "${STAGE}/planted")
file(REMOVE "${OUTPUT}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${OUTPUT}" --format=zip ${entries}
                WORKING_DIRECTORY "${STAGE}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the test kit could not be packed")
endif()
