# What `cmake --install` lays out, and the package files with which a host author's CMake finds
# the host records header: find_package(Quindle 7.0 REQUIRED), then link Quindle::filter_api.
include(CMakePackageConfigHelpers)

install(TARGETS Quindle LIBRARY DESTINATION ${QUINDLE_INSTALL_MODULEDIR})
install(TARGETS quindle-host RUNTIME DESTINATION ${QUINDLE_INSTALL_BINDIR})
install(FILES filter/filter_api.h DESTINATION ${QUINDLE_INSTALL_INCLUDEDIR}/quindle)
install(FILES README.md DESTINATION .)
install(FILES examples/words.txt DESTINATION examples)

# Header only: the records and the export signatures. Hosts load the module at run time, so
# nothing is linked.
add_library(quindle_filter_api INTERFACE)
set_target_properties(quindle_filter_api PROPERTIES EXPORT_NAME filter_api)
target_include_directories(quindle_filter_api INTERFACE
  $<INSTALL_INTERFACE:${QUINDLE_INSTALL_INCLUDEDIR}>)
install(TARGETS quindle_filter_api EXPORT QuindleTargets)
install(EXPORT QuindleTargets NAMESPACE Quindle:: DESTINATION ${QUINDLE_INSTALL_CMAKEDIR})

set(QUINDLE_INSTALLED_MODULE ${QUINDLE_INSTALL_MODULEDIR}/Quindle${CMAKE_SHARED_MODULE_SUFFIX})
configure_package_config_file(cmake/QuindleConfig.cmake.in
  ${CMAKE_BINARY_DIR}/generated/QuindleConfig.cmake
  INSTALL_DESTINATION ${QUINDLE_INSTALL_CMAKEDIR}
  PATH_VARS QUINDLE_INSTALLED_MODULE)
# 7.x hosts build against any 7.y header; the pointer-size check keeps a 64-bit build from picking
# up the 32-bit package, whose module it could not load.
write_basic_package_version_file(${CMAKE_BINARY_DIR}/generated/QuindleConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/generated/QuindleConfig.cmake
              ${CMAKE_BINARY_DIR}/generated/QuindleConfigVersion.cmake
        DESTINATION ${QUINDLE_INSTALL_CMAKEDIR})
