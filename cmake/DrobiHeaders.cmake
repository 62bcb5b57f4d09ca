# SPDX-License-Identifier: GPL-3.0-or-later
# drobi_export_headers(<target>): the headers a library lists among its
# sources become the only ones it offers to what links it, under its folder's
# name ("runtime/val.h", "fraction/fraction.h", "runtime/tests/...").
#
# Each library gets an include folder of its own in the build tree, holding a
# symbolic link per listed header; no library exports the repository root.
# So a library sees its own headers and those of the libraries it links, and
# nothing else: an #include of window/ from fraction/ or runtime/ does not
# compile, which keeps the dependencies pointing one way. A new header must
# be listed in its library's sources to be found.
function(drobi_export_headers target)
  set(root ${CMAKE_CURRENT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(NOT source MATCHES "\\.h$")
      continue()
    endif()
    get_filename_component(header ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH name ${PROJECT_SOURCE_DIR} ${header})
    get_filename_component(folder ${root}/${name} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${header} ${root}/${name} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
