# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's hardening flags, as dpkg-buildflags gives them with every hardening
# feature on (on Debian 12: stack protector, fortified C library calls, format
# string checks, read-only relocations bound at start-up: -z relro -z now;
# position-independent code is the compiler's default), for every target of an
# optimised build. The installed and packaged program is built with them, as
# a package built by Debian's own tools would be.
#
# Optimisation and debug information stay with CMAKE_BUILD_TYPE: the -O and -g
# flags dpkg-buildflags adds are left out, and so is its -ffile-prefix-map. Debug builds, which do not optimise
# (fortified calls need it), and the sanitizer build, whose interceptors stand
# in for the fortified calls, get none of these flags.
if(DROBI_SANITIZE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  return()
endif()
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT DPKG_BUILDFLAGS)
  message(WARNING "dpkg-buildflags not found (package dpkg-dev): building without Debian's hardening flags")
  return()
endif()

foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${DPKG_BUILDFLAGS} --get ${kind}
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # Optimisation and debug information stay with the build type, and source
  # paths in the debug information stay absolute (Debian's -ffile-prefix-map
  # serves reproducible packages, and would leave a debugger started outside
  # the repository unable to find the sources).
  list(FILTER flags EXCLUDE REGEX "^-(O.*|g|ffile-prefix-map=.*)$")
  if(kind STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
  list(JOIN flags " " shown)
  message(STATUS "Hardening ${kind}: ${shown}")
endforeach()
