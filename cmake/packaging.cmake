# `cpack` turns the install tree into one archive per platform, named after the version and the
# platform, that unpacks into one folder of the same name: Quindle-7.0.0.1-win32.zip,
# Quindle-7.0.0.1-win64.zip, Quindle-7.0.0.1-Linux-x86_64.tar.gz.
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(QUINDLE_PACKAGE_PLATFORM win32)
  else()
    set(QUINDLE_PACKAGE_PLATFORM win64)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(QUINDLE_PACKAGE_EXTENSION .zip)
else()
  set(QUINDLE_PACKAGE_PLATFORM ${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ)
  set(QUINDLE_PACKAGE_EXTENSION .tar.gz)
endif()

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The archive's name and its one folder's. Kept apart: include(CPack) leaves its CPACK_ variables
# set to the source package's values.
set(QUINDLE_PACKAGE_FOLDER ${PROJECT_NAME}-${PROJECT_VERSION}-${QUINDLE_PACKAGE_PLATFORM})
set(QUINDLE_PACKAGE_ARCHIVE ${QUINDLE_PACKAGE_FOLDER}${QUINDLE_PACKAGE_EXTENSION})
set(CPACK_PACKAGE_FILE_NAME ${QUINDLE_PACKAGE_FOLDER})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Users get the binaries without the debug information of the optimised builds.
set(CPACK_STRIP_FILES ON)
include(CPack)
