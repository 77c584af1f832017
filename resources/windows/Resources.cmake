# qs_windows_resources(TARGET DESCRIPTION): compiles the program's icon, its
# manifest (common controls 6, per-monitor DPI awareness, long paths) and a version
# resource from the project's version into TARGET.
function(qs_windows_resources target description)
  set(QS_PROGRAM ${target})
  set(QS_DESCRIPTION "${description}")
  set(QS_ICON ${CMAKE_SOURCE_DIR}/resources/icon/quillsmith.ico)
  set(QS_VERSION ${PROJECT_VERSION})
  # FILEVERSION takes four numbers.
  string(REPLACE "." ";" numbers "${PROJECT_VERSION}")
  list(APPEND numbers 0 0 0 0)
  list(SUBLIST numbers 0 4 numbers)
  list(JOIN numbers "," QS_VERSION_COMMAS)
  list(JOIN numbers "." QS_VERSION_DOTS)
  set(QS_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/resources/windows/quillsmith.manifest.in ${QS_MANIFEST} @ONLY)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${CMAKE_SOURCE_DIR}/resources/windows/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres does not see files the .rc names: rebuild when they change.
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${QS_ICON};${QS_MANIFEST}")
endfunction()
