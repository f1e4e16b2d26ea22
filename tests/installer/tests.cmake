# The release installer (scripts/package.sh builds it in build/mingw-release) installed, used and
# uninstalled under Wine as a user would. A missing installer fails the test: it is not skipped.
set(ARDENO_INSTALLER_UNDER_TEST
  ${CMAKE_SOURCE_DIR}/build/mingw-release/ArdenoTime-${PROJECT_VERSION}-win64-setup.exe
  CACHE FILEPATH "Installer that the installer test installs")
add_test(NAME installer_installs_runs_and_uninstalls_keeping_data
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/check.sh ${ARDENO_INSTALLER_UNDER_TEST} $<TARGET_FILE:probe> ${PROJECT_VERSION})
set_tests_properties(installer_installs_runs_and_uninstalls_keeping_data PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)
