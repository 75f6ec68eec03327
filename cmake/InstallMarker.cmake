# Install step (run by `cmake --install`, last): writes the file "installed" into the
# application folder. Its presence tells the client that it runs from an installation; its lines
# are the installed files (itself included), for the uninstall. Expects ZELK_INSTALL_APP_DIR.

set(_marker "${CMAKE_INSTALL_PREFIX}/${ZELK_INSTALL_APP_DIR}/installed")
set(_destdir "$ENV{DESTDIR}")
string(LENGTH "${_destdir}" _destdirLength)
set(_listed "")
set(_files ${CMAKE_INSTALL_MANIFEST_FILES})
list(APPEND _files "${_destdir}${_marker}")
list(REMOVE_DUPLICATES _files)
foreach(_file IN LISTS _files)
  # The list holds the paths as written, below DESTDIR when one is given.
  string(SUBSTRING "${_file}" ${_destdirLength} -1 _file)
  string(APPEND _listed "${_file}\n")
endforeach()
message(STATUS "Installing: ${_destdir}${_marker}")
file(WRITE "${_destdir}${_marker}" "${_listed}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_destdir}${_marker}")
