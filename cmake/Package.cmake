# The release package: a zip that holds what an owner copies to the root of a
# pen drive, the program and a sample message in Windows-1252, with no folder
# around them. `cmake --build <dir> --target package` makes it.
install(TARGETS Quorvel RUNTIME DESTINATION .)
install(FILES "${PROJECT_SOURCE_DIR}/resources/sample/mensagem.txt" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_VERSION "${QUORVEL_VERSION_TEXT}")
set(CPACK_PACKAGE_FILE_NAME "Quorvel-${QUORVEL_VERSION_TEXT}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
