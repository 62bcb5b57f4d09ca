# SPDX-License-Identifier: GPL-3.0-or-later
# drobi_add_tests(<libraries...> TESTS <tst_name...>): one Qt Test executable
# per named tst_<unit>.cpp of the calling folder, linked with the libraries,
# registered with CTest and run headless. The list is explicit: a new test
# file is a new name here, and a deleted one cannot be forgotten.
function(drobi_add_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "TESTS")
  if(NOT arg_TESTS)
    message(FATAL_ERROR "drobi_add_tests: name the tests, e.g. drobi_add_tests(fraction TESTS tst_fraction)")
  endif()
  foreach(name IN LISTS arg_TESTS)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} Qt6::Test)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
      TIMEOUT 300)
  endforeach()
endfunction()
