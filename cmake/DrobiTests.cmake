# SPDX-License-Identifier: GPL-3.0-or-later
# drobi_add_tests(<libraries...> TESTS <tst_name...> [ON_A11Y_BUS <tst_name...>]):
# one Qt Test executable per named tst_<unit>.cpp of the calling folder,
# linked with the libraries and registered with CTest. TESTS run headless
# (the offscreen platform); ON_A11Y_BUS run in a private X server with Qt's
# accessibility live on a private AT-SPI bus (tests/lib/a11y_bus.sh), for
# tests of the events the program sends there; like the tests of tests/, they
# are left out of the sanitizer build, where the bus's own libraries would be
# checked too. The lists are explicit: a new
# test file is a new name here, and a deleted one cannot be forgotten.
function(drobi_add_tests)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "" "TESTS;ON_A11Y_BUS")
  if(NOT arg_TESTS AND NOT arg_ON_A11Y_BUS)
    message(FATAL_ERROR "drobi_add_tests: name the tests, e.g. drobi_add_tests(fraction TESTS tst_fraction)")
  endif()
  if(DROBI_SANITIZE)
    set(arg_ON_A11Y_BUS)
  endif()
  foreach(name IN LISTS arg_TESTS arg_ON_A11Y_BUS)
    add_executable(${name} ${name}.cpp)
    target_link_libraries(${name} PRIVATE ${arg_UNPARSED_ARGUMENTS} Qt6::Test)
    if(name IN_LIST arg_ON_A11Y_BUS)
      add_test(NAME ${name} COMMAND bash ${PROJECT_SOURCE_DIR}/tests/lib/a11y_bus.sh $<TARGET_FILE:${name}>)
      set_tests_properties(${name} PROPERTIES TIMEOUT 120)
    else()
      add_test(NAME ${name} COMMAND ${name})
      set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
        TIMEOUT 300)
    endif()
  endforeach()
endfunction()
