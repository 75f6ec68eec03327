# Installation into a prefix, `cmake --install build [--prefix P]`:
#   P/lib/tamsel/                        the application folder: programs, support library, skin,
#                                        and the file "installed" (see below)
#   P/share/applications/tamsel.desktop  the menu entry, also the handler of "zelk://" links
#   P/share/pixmaps/tamsel.png           its icon
#   P/lib/mozilla/plugins/libnpZelk.so   the browser plug-in, where NPAPI hosts look for it
# The file "installed" marks the application folder as an installation: the client then keeps
# each user's state in $XDG_DATA_HOME/Tamsel instead of its own folder. It also lists every
# installed file, so that `cmake --build build --target uninstall` (or cmake/Uninstall.cmake
# with -DPREFIX=P) removes exactly those, whatever install ran last from this build folder.

install(FILES "${ZELK_APP_DIR}/Skin/Zelk/main/logo.png" DESTINATION share/pixmaps
        RENAME tamsel.png)

# The desktop entry names the installed program, known only when the install runs (--prefix).
install(CODE "set(ZELK_INSTALL_APP_DIR \"${ZELK_INSTALL_APP_DIR}\")
  set(ZELK_DESKTOP_TEMPLATE \"${PROJECT_SOURCE_DIR}/packaging/tamsel.desktop.in\")
  set(ZELK_DESKTOP_STAGED \"${CMAKE_BINARY_DIR}/packaging/tamsel.desktop\")")
install(SCRIPT "${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake")
# Last step: the marker with the list of what the install put down.
install(SCRIPT "${PROJECT_SOURCE_DIR}/cmake/InstallMarker.cmake")

add_custom_target(uninstall
  COMMAND "${CMAKE_COMMAND}" "-DPREFIX=${CMAKE_INSTALL_PREFIX}"
          -DAPP_DIR=${ZELK_INSTALL_APP_DIR} -P "${PROJECT_SOURCE_DIR}/cmake/Uninstall.cmake"
  COMMENT "Removing the installation from ${CMAKE_INSTALL_PREFIX}"
  VERBATIM)
