# Checks that the source folders include only what lies below them (see DESIGN.md, "Layers").
#   cmake -DSOURCE_DIR=<folder holding src/> [-DSTAMP=<file to touch>] -P CheckLayers.cmake
# Fails with every forbidden include, as file:line, when a folder reaches up or sideways.
cmake_minimum_required(VERSION 3.25)

# Each folder with the folders it may include besides itself. A folder missing here may include
# only itself and the platform layer; a standalone folder only itself.
set(_layers
  "platform:"
  "zelklib:platform"
  "skinui:platform"
  "core:skinui,platform"
  "net:core,platform"
  "account:net,core,skinui,platform"
  "knowledge:account,net,core,skinui,platform"
  "appcenter:knowledge,account,net,core,skinui,platform"
  "home:appcenter,knowledge,account,net,core,skinui,platform"
  "ui:home,appcenter,knowledge,account,net,core,skinui,platform"
  "shell:ui,home,appcenter,knowledge,account,net,core,skinui,platform"
  "updater:core,platform")
# The browser plug-in is loaded by browsers, not by us: it includes none of our folders.
set(_standalone "plugin")
# Single headers a folder may include although their folder is out of its reach: the client's
# binding declares the support library's exports from the library's own header.
set(_exceptions "core:zelklib/zelklib_exports.h")

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "CheckLayers: SOURCE_DIR is not set")
endif()

file(GLOB_RECURSE _files RELATIVE "${SOURCE_DIR}/src"
     "${SOURCE_DIR}/src/*.h" "${SOURCE_DIR}/src/*.cpp" "${SOURCE_DIR}/src/*.c")
set(_faults "")
foreach(_file IN LISTS _files)
  string(REGEX MATCH "^[^/]+" _folder "${_file}")
  set(_allowed "${_folder}")
  if(NOT _folder IN_LIST _standalone)
    list(APPEND _allowed platform)
  endif()
  foreach(_rule IN LISTS _layers)
    if(_rule MATCHES "^${_folder}:(.*)$")
      string(REPLACE "," ";" _below "${CMAKE_MATCH_1}")
      list(APPEND _allowed ${_below})
    endif()
  endforeach()
  file(STRINGS "${SOURCE_DIR}/src/${_file}" _lines)
  set(_number 0)
  foreach(_line IN LISTS _lines)
    math(EXPR _number "${_number} + 1")
    if(NOT _line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"(([^/\"]+)/[^\"]+)\"")
      continue()
    endif()
    set(_header "${CMAKE_MATCH_1}")
    set(_target "${CMAKE_MATCH_2}")
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/src/${_target}" OR _target IN_LIST _allowed
       OR "${_folder}:${_header}" IN_LIST _exceptions)
      continue()
    endif()
    string(APPEND _faults "\n  src/${_file}:${_number}: ${_folder} must not include \"${_header}\"")
  endforeach()
endforeach()

if(_faults)
  message(FATAL_ERROR "Includes against the layering of the source folders:${_faults}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
