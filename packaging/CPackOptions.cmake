# Read by cpack once per generator. The installer's name says what it is beside the zip.
if(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_PACKAGE_FILE_NAME "ArdenoTime-${CPACK_PACKAGE_VERSION}-win64-setup")
endif()
