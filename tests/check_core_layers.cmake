# Keeps the core folders one-way: a folder may include only folders on a lower level.
# Fails on an upward or sideways include, on a folder that has no level yet and on an
# exception that no longer matches; prints which folders each folder includes.
#   cmake -DSCAN_DIR=<a core folder> [-DEXCEPTIONS=...] -P check_core_layers.cmake
# Includes are written from the source root, "core/<folder>/<file>".

# The levels, lowest first; folders on one level ("lang|calc") must not include each other.
set(_levels
    util
    algebra
    quantities
    data
    "lang|calc"
    document
    "chart|shell"
    workflow)

# Upward includes still tolerated, as "<file below SCAN_DIR> -> <folder>", given as
# -DEXCEPTIONS="a;b" (none today). An entry whose file exists but no longer makes that include
# fails the check, so none can outlive its reason.
set(_exceptions "${EXCEPTIONS}")

if(NOT SCAN_DIR OR NOT IS_DIRECTORY "${SCAN_DIR}")
  message(FATAL_ERROR "SCAN_DIR is no folder: '${SCAN_DIR}'")
endif()

set(_level 0)
foreach(_entry IN LISTS _levels)
  string(REPLACE "|" ";" _peers "${_entry}")
  foreach(_f IN LISTS _peers)
    set(_level_of_${_f} ${_level})
  endforeach()
  math(EXPR _level "${_level} + 1")
endforeach()

file(GLOB _folders LIST_DIRECTORIES true RELATIVE ${SCAN_DIR} ${SCAN_DIR}/*)
set(_bad "")
set(_used_exceptions "")
set(_nfiles 0)
foreach(_from IN LISTS _folders)
  if(NOT IS_DIRECTORY ${SCAN_DIR}/${_from})
    continue()
  endif()
  file(GLOB_RECURSE _files RELATIVE ${SCAN_DIR} ${SCAN_DIR}/${_from}/*.h
       ${SCAN_DIR}/${_from}/*.hpp ${SCAN_DIR}/${_from}/*.cpp)
  list(LENGTH _files _n)
  math(EXPR _nfiles "${_nfiles} + ${_n}")
  if(NOT DEFINED _level_of_${_from})
    list(APPEND _bad "folder ${_from} has no level in the check's order")
    continue()
  endif()
  set(_targets "")
  foreach(_file IN LISTS _files)
    file(STRINGS ${SCAN_DIR}/${_file} _lines
         REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]core/[A-Za-z0-9_]+/")
    foreach(_line IN LISTS _lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]core/([A-Za-z0-9_]+)/.*$" "\\1"
                           _to "${_line}")
      if(_to STREQUAL _from)
        continue()
      endif()
      list(APPEND _targets ${_to})
      if(NOT DEFINED _level_of_${_to})
        list(APPEND _bad "${_file} includes core/${_to}, a folder with no level")
      elseif(NOT _level_of_${_to} LESS _level_of_${_from})
        list(FIND _exceptions "${_file} -> ${_to}" _ex)
        if(_ex GREATER -1)
          list(APPEND _used_exceptions "${_file} -> ${_to}")
        else()
          list(APPEND _bad "${_file} includes core/${_to}, which is not below ${_from}")
        endif()
      endif()
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES _targets)
  list(SORT _targets)
  string(REPLACE ";" " " _targets "${_targets}")
  message(STATUS "${_from} -> ${_targets}")
endforeach()

foreach(_ex IN LISTS _exceptions)
  string(REGEX REPLACE " -> .*$" "" _file "${_ex}")
  if(EXISTS ${SCAN_DIR}/${_file})
    list(FIND _used_exceptions "${_ex}" _used)
    if(_used EQUAL -1)
      list(APPEND _bad "exception '${_ex}' no longer applies: remove it from the check")
    endif()
  endif()
endforeach()

if(_nfiles EQUAL 0)
  message(FATAL_ERROR "no sources found below ${SCAN_DIR}")
endif()
if(_bad)
  list(REMOVE_DUPLICATES _bad)
  # Indented lines are printed as they are, unwrapped, so that each stays one line.
  string(REPLACE ";" "\n  " _msg "  ${_bad}")
  string(REPLACE ";" " < " _order "${_levels}")
  message(FATAL_ERROR "core folders out of order (${_order}):\n${_msg}")
endif()
message(STATUS "${_nfiles} core sources include only lower folders")
