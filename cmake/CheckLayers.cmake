# Fails when a source file includes a header of a folder above its own.
#
# The folders of src/ form layers, bottom to top, in the order below (the
# same order docs/ARCHITECTURE.md states). A folder may include itself and
# the folders below it. The gui/ sub-folders form a second storey above the
# whole core, in the same order: a gui/ folder may include any core folder
# and the gui/ folders of its own folder and of those below it; the core
# never includes a gui/ folder. The uninstaller (src/uninstall) shares
# nothing with the rest, in either direction.
#
# Run with -DSRC=<path of src>.
cmake_minimum_required(VERSION 3.25)
set(LAYERS common config richtext store incoming transport phone book mail search spell compose app)
list(LENGTH LAYERS layerCount)

# The rank of folder (first part of a path under src/) and gui flag; -1 for
# a folder not in the order.
function(layer_rank folder gui out)
  list(FIND LAYERS ${folder} index)
  if(index GREATER_EQUAL 0 AND gui)
    math(EXPR index "${index} + ${layerCount}")
  endif()
  set(${out} ${index} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(bad "")
foreach(f IN LISTS files)
  string(REPLACE "/" ";" parts ${f})
  list(GET parts 0 folder)
  list(LENGTH parts depth)
  set(gui FALSE)
  if(depth GREATER 2)
    list(GET parts 1 sub)
    if(sub STREQUAL "gui")
      set(gui TRUE)
    endif()
  endif()
  if(depth LESS 2)
    continue()
  endif()
  layer_rank(${folder} ${gui} rank)
  if(rank LESS 0 AND NOT folder STREQUAL "uninstall")
    string(APPEND bad "\n  ${f}: folder ${folder} has no place in the layer order (cmake/CheckLayers.cmake)")
    continue()
  endif()

  file(STRINGS ${SRC}/${f} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]+\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" header "${line}")
    string(REPLACE "/" ";" hparts ${header})
    list(GET hparts 0 hfolder)
    list(LENGTH hparts hdepth)
    set(hgui FALSE)
    if(hdepth GREATER 2)
      list(GET hparts 1 hsub)
      if(hsub STREQUAL "gui")
        set(hgui TRUE)
      endif()
    endif()
    if(folder STREQUAL "uninstall" OR hfolder STREQUAL "uninstall")
      if(NOT folder STREQUAL hfolder AND EXISTS ${SRC}/${header})
        string(APPEND bad "\n  ${f}: #include \"${header}\" (the uninstaller shares no code)")
      endif()
      continue()
    endif()
    layer_rank(${hfolder} ${hgui} hrank)
    if(hrank LESS 0)
      continue()  # not a folder of src/ (a system or generated header)
    endif()
    if(hrank GREATER rank)
      string(APPEND bad "\n  ${f}: #include \"${header}\" reaches up")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "Includes against the layer order (${LAYERS}; gui/ folders above the core):${bad}")
endif()
