# Proof that the total survives: kills while it counts, and starts on broken or held files.
# Included from tests/CMakeLists.txt inside its WIN32 block, after ArdenoTime and probe.
add_executable(survival_helper ${CMAKE_CURRENT_LIST_DIR}/helper.cpp)
target_link_libraries(survival_helper PRIVATE ardeno_core)
ardeno_link_static_runtime(survival_helper)

# The short soak; scripts/soak.sh runs the long one.
add_test(NAME total_survives_kills_while_counting
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/soak.sh $<TARGET_FILE_DIR:ArdenoTime> $<TARGET_FILE:probe> 15
          $<TARGET_FILE:survival_helper>)
set_tests_properties(total_survives_kills_while_counting PROPERTIES RUN_SERIAL TRUE TIMEOUT 180)

add_test(NAME start_on_bad_or_held_files_runs_or_names_the_line
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/bad-input.sh $<TARGET_FILE_DIR:ArdenoTime> $<TARGET_FILE:probe>
          $<TARGET_FILE:survival_helper>)
set_tests_properties(start_on_bad_or_held_files_runs_or_names_the_line PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
