# Run first by `cmake --install`: an earlier installation left the program
# folder read-only, so its owner gets write access back for the new files.
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${SKFP_PROGRAM_DIR}")
if(IS_DIRECTORY "${folder}")
  file(CHMOD "${folder}" DIRECTORY_PERMISSIONS
       OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
