# Installs like a Linux desktop program: the two programs, the freedesktop
# entry, the icon in the hicolor sizes, the AppStream metainfo, the manual
# pages and the Debian documents; CPack turns the same into a .deb that
# lintian accepts, whose library dependencies dpkg-shlibdeps reads off the
# binaries (Debian's Qt 6 runtime packages).

# Windows has a zip of its own.
if(WIN32)
  include(${CMAKE_SOURCE_DIR}/resources/windows/Package.cmake)
  return()
endif()

include(GNUInstallDirs)

set(QS_APP_ID org.example.Quillsmith)
foreach(program quillsmith quillsmith-render)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES resources/linux/${QS_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/linux/${QS_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The form file's type, so a double-click on a form opens it in Quillsmith.
install(FILES resources/linux/${QS_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME ${QS_APP_ID}.xml)
foreach(size 16 24 32 48 64 128 256)
  install(FILES resources/icon/quillsmith-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${QS_APP_ID}.png)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillsmith)
set(CPACK_PACKAGE_VENDOR "Hearthcove-Team")
set(CPACK_PACKAGE_CONTACT "Quillsmith maintainers <maintainers@quillsmith.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Readme writer for Morrowind plug-ins")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quillsmith turns a tabbed form into a ready readme for a plug-in of the
role-playing game The Elder Scrolls III: Morrowind. Fill in the name, the
description, what the plug-in requires, up to three screenshots and the
installation notes, press Save and get ReadMe.htm in Windows-1251 with its
background pictures and copies of the screenshots.

It can also write an SQL record for the database of the Hearthcove community
site. The command-line renderer, quillsmith-render, writes the same readme
from a form file, for scripted releases.

The window speaks Russian, Qt's own dialogs included.]=])
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillsmith.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# dpkg-shlibdeps adds the libraries every installed ELF links, a module
# loaded on demand included. What Qt loads by name is not among them:
# Qt's Russian texts. The platform plugins that open a window (xcb) ship in
# libqt6gui6, which the libraries already bring; package_test.sh checks
# both against what the running program loads.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)

# Debian's documents: a native package's changelog and the machine-readable
# copyright file carrying the licence the About page shows. Manual pages and
# the changelog are gzipped with -n: no name or time in the header, so the
# same sources give the same package.
set(QS_PACKAGE_DOCS ${CMAKE_INSTALL_DATADIR}/doc/${CPACK_PACKAGE_NAME})
set(QS_LICENSE_NAME LicenseRef-proprietary)
set(QS_LICENSE_SOURCE ${CMAKE_SOURCE_DIR}/resources/documents/license.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QS_LICENSE_SOURCE})
file(READ ${QS_LICENSE_SOURCE} QS_LICENSE_TEXT)
# The licence's light markup (headings, quotes) is dropped; in a copyright
# file every line of the text is indented and an empty one is " .".
string(REGEX REPLACE "\n+$" "" QS_LICENSE_TEXT "${QS_LICENSE_TEXT}")
string(REGEX REPLACE "(^|\n)[#>]+ " "\\1" QS_LICENSE_TEXT "${QS_LICENSE_TEXT}")
string(REGEX REPLACE "<(https?://[^>]*)>" "\\1" QS_LICENSE_TEXT "${QS_LICENSE_TEXT}")
string(REPLACE "\n" "\n " QS_LICENSE_TEXT " ${QS_LICENSE_TEXT}")
string(REPLACE "\n \n" "\n .\n" QS_LICENSE_TEXT "${QS_LICENSE_TEXT}")
configure_file(packaging/copyright.in ${CMAKE_BINARY_DIR}/packaging/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/packaging/copyright DESTINATION ${QS_PACKAGE_DOCS})

set(QS_GZIPPED)
foreach(source packaging/changelog docs/man/quillsmith.1 docs/man/quillsmith-render.1)
  get_filename_component(name ${source} NAME)
  set(gzipped ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND gzip -9n < ${CMAKE_SOURCE_DIR}/${source} > ${gzipped}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source})
  list(APPEND QS_GZIPPED ${gzipped})
endforeach()
add_custom_target(quillsmith_package_documents ALL DEPENDS ${QS_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${QS_PACKAGE_DOCS})
foreach(program quillsmith quillsmith-render)
  if(TARGET ${program})
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${program}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
include(CPack)
