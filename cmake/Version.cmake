# velmora_version: an interface target whose header (Version.h) holds the project's release number,
# so that --version, the window's caption and the package all show the one from project().
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${PROJECT_BINARY_DIR}/generated/Version.h @ONLY)
add_library(velmora_version INTERFACE)
target_include_directories(velmora_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
