# Run last by `cmake --install`.
#  - The program folder becomes read-only: the client then keeps its location
#    file and data in the user's XDG folders instead of beside the program.
#    A staged install (DESTDIR, as the package is made) keeps the ordinary
#    modes: the package's folders belong to root, and the client also knows
#    an installation by its share folder.
#  - <prefix>/bin gets links to the programs.
#  - The installing user's desktop gets the menu entry, the mailto: handler
#    and, with SKFP_AUTOSTART=1 in the environment, the autostart entry.
#    Staged installs (DESTDIR) and SKFP_REGISTER=0 skip this step.
set(prefix "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(folder "${prefix}/${SKFP_PROGRAM_DIR}")

file(MAKE_DIRECTORY "${prefix}/bin")
foreach(program skfp skfp-tool skfp-uninstall)
  if(EXISTS "${folder}/${program}")
    file(REMOVE "${prefix}/bin/${program}")
    file(CREATE_LINK "../${SKFP_PROGRAM_DIR}/${program}" "${prefix}/bin/${program}" SYMBOLIC)
  endif()
endforeach()

if("$ENV{DESTDIR}" STREQUAL "")
  file(CHMOD "${folder}" DIRECTORY_PERMISSIONS
       OWNER_READ OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()

if(NOT "$ENV{DESTDIR}" STREQUAL "" OR "$ENV{SKFP_REGISTER}" STREQUAL "0" OR NOT EXISTS "${folder}/skfp")
  message(STATUS "Desktop entries: not registered for this user")
  return()
endif()
set(args desktop register)
if("$ENV{SKFP_AUTOSTART}" MATCHES "^(1|ON|on|yes|true)$")
  list(APPEND args --autostart)
endif()
execute_process(COMMAND "${folder}/skfp-tool" --program-folder "${folder}" ${args} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "Desktop entries: skfp-tool ${args} failed")
endif()
message(STATUS "Desktop entries: menu entry and mailto: handler registered for this user")
