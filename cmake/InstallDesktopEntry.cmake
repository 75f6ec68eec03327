# Install step (run by `cmake --install`): the desktop entry, with the installed program on its
# Exec line. Expects ZELK_INSTALL_APP_DIR, ZELK_DESKTOP_TEMPLATE and ZELK_DESKTOP_STAGED.

set(ZELK_EXEC_PROGRAM "${CMAKE_INSTALL_PREFIX}/${ZELK_INSTALL_APP_DIR}/Zelk")
# The path goes onto the Exec line unquoted, exactly as the client's own registration writes
# it, so that the client recognises the entry as its own; a path that would need quoting or
# escaping there is refused.
string(REGEX MATCH "[ \t\"'\\\\><~|&;$*?#()`%]" _reserved "${ZELK_EXEC_PROGRAM}")
if(_reserved OR NOT ZELK_EXEC_PROGRAM MATCHES "^/")
  message(FATAL_ERROR "The install prefix cannot stand on a desktop entry's Exec line: "
                      "${CMAKE_INSTALL_PREFIX}")
endif()
configure_file("${ZELK_DESKTOP_TEMPLATE}" "${ZELK_DESKTOP_STAGED}" @ONLY)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${ZELK_DESKTOP_STAGED}")
