# The build-time helpers (template_pack, embed_bytes) for a cross build: the
# same source configured natively in a folder of this build, of which only
# the helpers are built. They keep their target names, so the rules that run
# them read as in a native build.
include(ExternalProject)

set(QS_NATIVE_TOOLS_DIR ${CMAKE_BINARY_DIR}/native-tools)
set(QS_NATIVE_TOOLS template_pack embed_bytes)
set(_qs_tool_files)
foreach(tool ${QS_NATIVE_TOOLS})
  list(APPEND _qs_tool_files ${QS_NATIVE_TOOLS_DIR}/tools/${tool})
endforeach()

ExternalProject_Add(quillsmith_native_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}
  BINARY_DIR ${QS_NATIVE_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DQS_BUILD_UI=OFF -DQS_BUILD_TESTS=OFF -DQS_BUILD_BENCH=OFF
             -DQS_BUILD_FUZZ=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${QS_NATIVE_TOOLS_DIR} --target ${QS_NATIVE_TOOLS}
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${_qs_tool_files}
  # Rebuilt whenever the outer build runs: the native build itself knows
  # whether any helper's source changed.
  BUILD_ALWAYS ON
  USES_TERMINAL_BUILD ON)

foreach(tool ${QS_NATIVE_TOOLS})
  add_executable(${tool} IMPORTED GLOBAL)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${QS_NATIVE_TOOLS_DIR}/tools/${tool})
endforeach()
