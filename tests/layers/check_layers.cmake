# Fails when a source file includes a header from a layer above its own.
# The layers, from the bottom: platform, model, reader, content, driver,
# tools. A file may include its own layer and the layers below it.
#
# Inside tools/ the parts are layers of their own: common at the bottom;
# check, show and drawing above it, side by side (none includes another);
# page above those; cli at the top, with main.cc beside it. A new part
# folder must be given its place here.
#
# cmake -DROOT=<folder holding the layer folders> -P check_layers.cmake
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()
set(layers platform model reader content driver tools)
# Rank of each part of tools/; parts of one rank are siblings.
set(tool_parts common check show drawing page cli)
set(tool_ranks 0 1 1 1 2 3)
set(tool_top_rank 4)  # files directly in tools/

# Sets ${out} to the rank of the tools/ part `part`, or -1 when it has none.
function(tool_rank part out)
  list(FIND tool_parts "${part}" index)
  if(index EQUAL -1)
    set(${out} -1 PARENT_SCOPE)
  else()
    list(GET tool_ranks ${index} rank)
    set(${out} ${rank} PARENT_SCOPE)
  endif()
endfunction()

set(violations 0)
set(checked 0)
foreach(layer IN LISTS layers)
  list(FIND layers ${layer} rank)
  file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/${layer}/*.cc ${ROOT}/${layer}/*.h)
  foreach(file IN LISTS files)
    math(EXPR checked "${checked} + 1")
    # The part of tools/ the file belongs to, if any.
    set(part "")
    set(part_rank -1)
    if(layer STREQUAL "tools")
      if(file MATCHES "^tools/([^/]+)/")
        set(part ${CMAKE_MATCH_1})
        tool_rank(${part} part_rank)
        if(part_rank EQUAL -1)
          message(SEND_ERROR "${file}: tools/${part}/ is not a known part of tools/ "
                             "(give it its place in check_layers.cmake)")
          math(EXPR violations "${violations} + 1")
        endif()
      else()
        set(part_rank ${tool_top_rank})
      endif()
    endif()
    file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
      string(REGEX REPLACE "^([^/]+)/.*$" "\\1" target "${header}")
      list(FIND layers ${target} target_rank)
      if(target_rank GREATER rank)
        message(SEND_ERROR "${file} includes ${header}: ${target}/ is a layer above ${layer}/")
        math(EXPR violations "${violations} + 1")
      elseif(target STREQUAL "tools" AND layer STREQUAL "tools" AND part_rank GREATER -1
             AND header MATCHES "^tools/([^/]+)/")
        set(target_part ${CMAKE_MATCH_1})
        tool_rank(${target_part} target_part_rank)
        if(NOT target_part STREQUAL part AND NOT target_part_rank LESS part_rank)
          message(SEND_ERROR "${file} includes ${header}: tools/${target_part}/ is not "
                             "below tools/${part}/")
          math(EXPR violations "${violations} + 1")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no source file found under ${ROOT}")
endif()
if(violations GREATER 0)
  message(FATAL_ERROR "${violations} include(s) from a layer above")
endif()
message(STATUS "${checked} files, every include from the same layer or below")
