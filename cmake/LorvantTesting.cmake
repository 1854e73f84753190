# Helpers shared by every test folder.
include_guard(GLOBAL)

# Environment for every test: no display, settings and results in the build tree,
# leak checks off (Qt's platform plugins keep caches until exit).
set(LORVANT_TEST_ENV
  "QT_QPA_PLATFORM=offscreen"
  "ASAN_OPTIONS=detect_leaks=0:abort_on_error=0"
  "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1"
  "LC_ALL=C.UTF-8"
)

# GoogleTest executable: lorvant_gtest(NAME SOURCES... LIBS ...)
function(lorvant_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} lorvant_test_support GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE LORVANT_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${LORVANT_TEST_ENV}")
endfunction()

# GoogleTest executable that runs the batch tool as a process (its path in
# LORVANT_CALC_TOOL): lorvant_tool_test(NAME SOURCES... LIBS ...)
function(lorvant_tool_test name)
  lorvant_gtest(${name} ${ARGN})
  add_dependencies(${name} lorvant-calc)
  target_compile_definitions(${name} PRIVATE LORVANT_CALC_TOOL="$<TARGET_FILE:lorvant-calc>")
endfunction()

# QtTest executable: lorvant_qtest(NAME SOURCES... LIBS ...)
function(lorvant_qtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} lorvant_test_support Qt6::Test)
  target_compile_definitions(${name} PRIVATE LORVANT_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${LORVANT_TEST_ENV}")
endfunction()

# Adds every subfolder of the calling folder that has a CMakeLists.txt: a new
# test or benchmark folder needs no line elsewhere.
function(lorvant_add_subfolders)
  file(GLOB dirs LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(dir ${dirs})
    if(IS_DIRECTORY ${dir} AND EXISTS ${dir}/CMakeLists.txt)
      add_subdirectory(${dir})
    endif()
  endforeach()
endfunction()
