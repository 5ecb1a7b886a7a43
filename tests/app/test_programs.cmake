# Runs the two built programs as processes: --version, and the window program
# on a machine without a display.
heatplate_add_test(test_programs test_programs.cpp)
target_compile_definitions(test_programs PRIVATE
  HEATPLATE_GUI="$<TARGET_FILE:heatplate>"
  HEATPLATE_BATCH="$<TARGET_FILE:heatplate-batch>"
  HEATPLATE_VERSION="${PROJECT_VERSION}")
add_dependencies(test_programs heatplate heatplate-batch)
