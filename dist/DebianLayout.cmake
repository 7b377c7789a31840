# Run by CPack on its staging tree, before the Debian package is made from
# it: Debian keeps a game's program in /usr/games (policy, section 11.11),
# where `cmake --install` puts it in bin/. The program finds its sounds the
# same way from either: ../share/stackfall/sounds.
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
if(CPACK_GENERATOR STREQUAL "DEB" AND EXISTS ${root}/bin/stackfall)
  file(MAKE_DIRECTORY ${root}/games)
  file(RENAME ${root}/bin/stackfall ${root}/games/stackfall)
  file(GLOB left ${root}/bin/*)
  if(NOT left)
    file(REMOVE_RECURSE ${root}/bin)
  endif()
endif()
