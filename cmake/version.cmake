# The version is written once, in project(); every program reads it from a generated header,
# "pagewright_version.h", found through pagewright_options.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
               ${CMAKE_BINARY_DIR}/generated/pagewright_version.h @ONLY)
target_include_directories(pagewright_options INTERFACE ${CMAKE_BINARY_DIR}/generated)
