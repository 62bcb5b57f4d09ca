# SPDX-License-Identifier: GPL-3.0-or-later
# drobi_export_headers(<target>): what links the library includes its headers
# by their path in the repository ("runtime/val.h", "fraction/fraction.h",
# "runtime/tests/box_closer.h"), straight from the source tree, so compiler
# messages and debuggers name the real files.
#
# The one-way rule between the libraries (runtime -> nothing of ours,
# fraction -> runtime, window -> fraction and runtime_ui, ...) is checked by
# the test include_rules (tests/include_rules.py), which reads every #include
# of the libraries' sources. For it, this function also writes the library's
# source list to <build>/include_rules/<target>.txt. A new library calls this
# function and gets one line in that script's table.
#
# The lists are written anew at every configuration: a library that is gone
# (or renamed) leaves no list behind in a build folder that is reused.
file(REMOVE_RECURSE ${PROJECT_BINARY_DIR}/include_rules)

function(drobi_export_headers target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  else()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
  # The folder first, then one source a line, as listed (relative to it).
  file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/include_rules/${target}.txt
       CONTENT "${CMAKE_CURRENT_SOURCE_DIR}\n$<JOIN:$<TARGET_PROPERTY:${target},SOURCES>,\n>\n")
endfunction()
