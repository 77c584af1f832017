# The version of the build machine's headers, read from them.
file(STRINGS /usr/include/nlohmann/detail/abi_macros.hpp _qs_json_version_lines
     REGEX "#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) [0-9]+")
set(PACKAGE_VERSION "")
foreach(part MAJOR MINOR PATCH)
  string(REGEX MATCH "VERSION_${part} ([0-9]+)" _ "${_qs_json_version_lines}")
  list(APPEND PACKAGE_VERSION ${CMAKE_MATCH_1})
endforeach()
list(JOIN PACKAGE_VERSION . PACKAGE_VERSION)
if(PACKAGE_VERSION VERSION_LESS PACKAGE_FIND_VERSION)
  set(PACKAGE_VERSION_COMPATIBLE FALSE)
else()
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
