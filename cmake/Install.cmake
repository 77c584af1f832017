# Installs like a Linux desktop program: the two programs, the freedesktop
# entry, the icon in the hicolor sizes and the AppStream metainfo; CPack
# turns the same into a .deb whose dependencies dpkg-shlibdeps reads off the
# binaries (Debian's Qt 6 runtime packages).
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
set(CPACK_PACKAGE_HOMEPAGE_URL "http://hearthcove.example.org/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
