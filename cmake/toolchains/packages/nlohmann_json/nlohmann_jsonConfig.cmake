# The build machine's nlohmann/json for the cross build. Only a folder that
# holds nothing but a link to its headers goes on the include path: the
# whole of /usr/include would put glibc's headers before MinGW's.
set(_qs_json_headers ${CMAKE_BINARY_DIR}/host-headers/json)
if(NOT EXISTS ${_qs_json_headers}/nlohmann/json.hpp)
  file(MAKE_DIRECTORY ${_qs_json_headers})
  file(CREATE_LINK /usr/include/nlohmann ${_qs_json_headers}/nlohmann SYMBOLIC)
endif()
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_qs_json_headers})
endif()
