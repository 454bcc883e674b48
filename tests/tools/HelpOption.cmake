# Every program of the project answers --help; the test runs each one this build makes.
# The benchmarks are declared after the tests, so their paths are generator expressions
# and the test's dependencies on them are added once the whole project has been read.
set(MB_HELP_PROGRAMS matlib make_sample make_largest_library library_bench app_bench
    grid_rebuild_bench matbrowser editor_preview)
set(mb_help_entries)
foreach(program ${MB_HELP_PROGRAMS})
  list(APPEND mb_help_entries
       "${program}=$<$<TARGET_EXISTS:${program}>:$<TARGET_FILE:${program}>>")
endforeach()
# The benchmark scripts take arguments too.
list(APPEND mb_help_entries "run-bench=${PROJECT_SOURCE_DIR}/bench/run-bench"
     "startup-time=${PROJECT_SOURCE_DIR}/bench/app/startup-time")
list(JOIN mb_help_entries "," mb_help_entries)

add_executable(help_option_test HelpOptionTest.cpp)
target_link_libraries(help_option_test PRIVATE mb_run_program GTest::gtest_main mb_warnings)
target_compile_definitions(help_option_test PRIVATE MB_HELP_PROGRAMS="${mb_help_entries}")
gtest_discover_tests(help_option_test)

set_property(GLOBAL PROPERTY MB_HELP_PROGRAMS ${MB_HELP_PROGRAMS})
function(mb_help_option_dependencies)
  get_property(programs GLOBAL PROPERTY MB_HELP_PROGRAMS)
  foreach(program ${programs})
    if(TARGET ${program})
      add_dependencies(help_option_test ${program})
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL mb_help_option_dependencies)
