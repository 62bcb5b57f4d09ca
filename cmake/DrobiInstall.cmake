# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install --strip` puts on a machine and what the Debian package
# holds: the stripped program, its desktop entry, AppStream data and icons, the
# man page, an example settings file, and the licence, copyright and changelog
# files Debian asks for. Then the package itself: `cpack -G DEB` in the build
# folder.
include(GNUInstallDirs)
# Installing (and packaging) takes the program as built; it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(drobi_docdir ${CMAKE_INSTALL_DATADIR}/doc/drobi)

# The programs: `cmake --install <build> --strip` and the package (CPack's
# CPACK_STRIP_FILES, below) install them without debug information or symbol
# tables; the build folder keeps the full ones. The teacher's class window,
# drobi-class, is started by `drobi --class` only, so it lives in libexec
# (class_launcher.h).
install(TARGETS drobi RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS drobi-class RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/drobi)

install(FILES data/${DROBI_APP_ID}.desktop data/${DROBI_CLASS_APP_ID}.desktop data/${DROBI_PRACTICE_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/${DROBI_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/drobi.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${DROBI_APP_ID}.svg)

# PNG icons at the usual hicolor sizes, for docks and menus that do not draw
# SVG. They are made from the SVG at build time by rsvg-convert (librsvg2-bin),
# which only the build needs.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "rsvg-convert not found: install librsvg2-bin (scripts/install-deps.sh does)")
endif()
set(drobi_generated)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}/${DROBI_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width=${size} --height=${size} --output=${png} ${PROJECT_SOURCE_DIR}/data/drobi.svg
    DEPENDS ${PROJECT_SOURCE_DIR}/data/drobi.svg
    VERBATIM)
  list(APPEND drobi_generated ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The man page carries the project's version; it and the Debian changelog
# are installed compressed, without a time stamp in the gzip header.
configure_file(packaging/drobi.1.in ${CMAKE_CURRENT_BINARY_DIR}/drobi.1 @ONLY)
foreach(pair "${CMAKE_CURRENT_BINARY_DIR}/drobi.1|drobi.1.gz"
             "${PROJECT_SOURCE_DIR}/packaging/changelog|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 name)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${source} ${CMAKE_CURRENT_BINARY_DIR}/${name}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND drobi_generated ${CMAKE_CURRENT_BINARY_DIR}/${name})
endforeach()
add_custom_target(drobi_data ALL DEPENDS ${drobi_generated})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/drobi.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz packaging/copyright DESTINATION ${drobi_docdir})
# An example of the school's settings file, commented in Russian and English.
install(FILES data/drobi.conf.example DESTINATION ${drobi_docdir}/examples RENAME drobi.conf)
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME drobi)

# A Debian package: cpack -G DEB in the build folder. The version is the
# project's (project() above); it must rise for every build handed out, and
# packaging/changelog and the AppStream releases name it too.
set(CPACK_PACKAGE_NAME drobi)
set(CPACK_PACKAGE_VENDOR "drobi developers")
# No person or address stands behind the package: the project's name is the
# maintainer. lintian wants an address here; packaging/lintian-overrides says why there is none.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "drobi developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timed classroom test on multiplying and dividing fractions (Russian)")
set(CPACK_PACKAGE_DESCRIPTION "A ten-minute test for sixth-grade pupils: ten tasks on multiplying and\ndividing common fractions, each answer checked, a grade from 2 to 5.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Libraries the programs link are found by shlibdeps; Qt's SQLite driver,
# which the class window loads as a plugin for its record hashes, is not.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-urw-base35, qt6-translations-l10n, libqt6sql6-sqlite")
include(CPack)
