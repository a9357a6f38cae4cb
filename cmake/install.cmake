# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Installation and the Debian package. The program's read-only files (help page, sounds,
# catalogue template) are also laid out under the build folder's share/vexa, so that a
# program run from the build folder finds them as an installed one does.
include(GNUInstallDirs)

set(VEXA_HOMEPAGE_URL "https://vexa.example.org" CACHE STRING
    "The project's web site, named in the AppStream file with its screenshots")
set(VEXA_SHARE_BUILD ${CMAKE_BINARY_DIR}/share/vexa)

# The empty catalogue template, made by the program's own schema.
add_executable(vexa_template tools/maketemplate.cpp)
target_link_libraries(vexa_template PRIVATE vexa_catalogue)
add_custom_command(OUTPUT ${VEXA_SHARE_BUILD}/vexa.mdb
  COMMAND ${CMAKE_COMMAND} -E rm -f ${VEXA_SHARE_BUILD}/vexa.mdb
  COMMAND vexa_template ${VEXA_SHARE_BUILD}/vexa.mdb
  DEPENDS vexa_template
  COMMENT "Making the empty catalogue template")
set(vexa_share_files
  ${CMAKE_SOURCE_DIR}/resources/vexa.html
  ${CMAKE_SOURCE_DIR}/resources/sounds/found-rising.wav
  ${CMAKE_SOURCE_DIR}/resources/sounds/found-falling.wav)
add_custom_command(OUTPUT ${VEXA_SHARE_BUILD}/vexa.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VEXA_SHARE_BUILD}/sounds
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/vexa.html ${VEXA_SHARE_BUILD}/
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/sounds/found-rising.wav
          ${CMAKE_SOURCE_DIR}/resources/sounds/found-falling.wav ${VEXA_SHARE_BUILD}/sounds/
  DEPENDS ${vexa_share_files}
  COMMENT "Laying out share/vexa in the build folder")
add_custom_target(vexa_share ALL DEPENDS ${VEXA_SHARE_BUILD}/vexa.mdb ${VEXA_SHARE_BUILD}/vexa.html)
configure_file(${CMAKE_SOURCE_DIR}/resources/vexa.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/org.vexa.Vexa.metainfo.xml @ONLY)

install(TARGETS vexa RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES resources/vexa.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_BINARY_DIR}/org.vexa.Vexa.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icons/vexa.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icons/vexa-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME vexa.png)
endforeach()
install(FILES docs/vexa.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VEXA_SHARE_BUILD}/vexa.html ${VEXA_SHARE_BUILD}/vexa.mdb
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa)
install(FILES resources/sounds/found-rising.wav resources/sounds/found-falling.wav
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa/sounds)
install(FILES docs/screenshots/main.png docs/screenshots/review.jpg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/vexa/screenshots)
install(FILES README.md resources/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/vexa)

# The Debian package: `cpack -G DEB` in the build folder. Shared libraries come from
# dpkg-shlibdeps; what the program loads at run time as Qt plugins (the SQLite driver, the
# platform and picture-type plugins) cannot be seen that way and is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vexa)
set(CPACK_PACKAGE_VENDOR "The Vexa! developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find duplicate pictures and tidy them away safely")
set(CPACK_PACKAGE_DESCRIPTION "Vexa! keeps named lists of folders and a catalogue of picture \
signatures, finds duplicate pictures by name, size, checksum, colour or a grey-level pattern, and \
deletes (to the Trash), moves, renames or shows them. It reads today's photographs (JPEG, PNG, \
TIFF, WebP, HEIC/HEIF, AVIF) and 24 classic picture types.")
set(CPACK_PACKAGE_CONTACT "The Vexa! developers <vexa@example.org>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-image-formats-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES TRUE)
include(CPack)
