# The Windows zip, quillsmith-<version>-windows-x64.zip: the programs, the
# licence and a short readme in Russian, in one folder of the same name.
# Included from cmake/Install.cmake in a Windows build.

foreach(program quillsmith quillsmith-render)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()

# Texts for Notepad: UTF-8 with a byte order mark (without one, older
# Notepads read the bytes in the ANSI code page), lines ending in CR LF.
function(qs_windows_text source target)
  file(READ ${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  file(WRITE ${CMAKE_BINARY_DIR}/package-texts/${target} "${bom}${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  install(FILES ${CMAKE_BINARY_DIR}/package-texts/${target} DESTINATION .)
endfunction()
qs_windows_text(${CMAKE_SOURCE_DIR}/resources/documents/license.txt license.txt)
qs_windows_text(${CMAKE_SOURCE_DIR}/resources/windows/readme.txt readme.txt)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quillsmith)
set(CPACK_PACKAGE_VENDOR "Hearthcove-Team")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Readme writer for Morrowind plug-ins")
set(CPACK_PACKAGE_FILE_NAME quillsmith-${PROJECT_VERSION}-windows-x64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
