# Where `cmake --install` and the archives put each part. Windows finds a DLL beside the program
# that loads it, so there the module shares bin/ with the host; on Linux it is a library in lib/.
set(QUINDLE_INSTALL_BINDIR bin)
set(QUINDLE_INSTALL_INCLUDEDIR include)
set(QUINDLE_INSTALL_CMAKEDIR lib/cmake/Quindle)
if(WIN32)
  set(QUINDLE_INSTALL_MODULEDIR bin)
else()
  set(QUINDLE_INSTALL_MODULEDIR lib)
endif()

# The installed host looks for the module here, relative to its own folder, when none sits
# beside it (a build folder keeps both in bin/).
file(RELATIVE_PATH QUINDLE_MODULE_DIR_FROM_HOST
  /prefix/${QUINDLE_INSTALL_BINDIR} /prefix/${QUINDLE_INSTALL_MODULEDIR})
