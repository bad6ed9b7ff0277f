# Include rules of the source tree, run by ctest:
#   cmake -DSOURCE_DIR=<tree> [-DEXPECT=<n>] -P check_layers.cmake
#
# 1. platform/ is built in three layers, each of which may include only its own layer and
#    those below it: data (types, math, colours, text, tables, streams, the component
#    model), drawing (pens and fonts, canvases, bitmaps, back ends, the base library's
#    drawn objects), window (controls, forms, dialogs, clipboard, printer, registry,
#    themes). Every platform file must be listed, so a new file gets its layer on purpose.
# 2. A unit folder may include only the folders listed for it (a lower folder never
#    includes a higher one); hosts/ and files at the top may include anything.
# 3. The image, font and compression libraries stay behind the platform's drawing and
#    window layers; window-system toolkits stay in hosts/.
#
# Without EXPECT the check fails on any violation; with EXPECT it fails unless exactly
# that many are found (the check's own test on a tree with planted faults).

set(layer_data
  types arith univconst math1 matrix kvrvector kvrmath kvrcolors datetime numtext stringl
  datatable streams classes setters pagedblock kvrerror filewrite paintguard
  detail/utf8 detail/bidi)
set(layer_drawing
  graphics canvas bitmap svgcanvas scaledcanvas kvrbase kvrbase_draw kvrbase_objects
  detail/canvas_backend detail/scaled_backend detail/raster_backend detail/svg_backend
  detail/scan_fill detail/smooth_raster detail/pixel_ops detail/font_engine detail/image_codecs detail/pdf_writer
  detail/font_source detail/mark_stamp
  pdfcanvas detail/pdf_backend)
set(layer_window
  control forms dialogs clipbrd printers printcanvas registry themes)
set(layers data drawing window)

set(folders_platform platform)
set(folders_scale platform scale)
set(folders_zuvado platform scale zuvado)
set(folders_colorscale platform scale colorscale)
set(folders_gauge platform scale gauge)
set(folders_contour platform scale zuvado colorscale contour)
set(folders_smith platform scale zuvado smith)
set(folders_boxplot platform scale zuvado boxplot)
set(folders_plot3d platform scale plot3d)
set(folders_rot3d platform scale plot3d rot3d)
set(units platform scale zuvado colorscale gauge contour smith boxplot plot3d rot3d)

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check_layers: SOURCE_DIR is not set")
endif()

set(violations "")
macro(violation text)
  list(APPEND violations "${text}")
endmacro()

# Layer index (0, 1, 2) of a platform file given as its path below platform/ without
# extension, or -1 when the table does not list it.
function(layer_of key out)
  set(result -1)
  set(i 0)
  foreach(layer ${layers})
    list(FIND layer_${layer} "${key}" found)
    if(found GREATER -1)
      set(result ${i})
    endif()
    math(EXPR i "${i} + 1")
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

set(graphics_libs "^(ft2build\\.h|freetype/|fontconfig/|hb\\.h|hb-|cairo|png\\.h|zlib\\.h|agg_)")
set(toolkits "^(Q[A-Za-z]*|Qt[A-Za-z]*/.*|gtk/.*|X11/.*)$")

# The system headers (angle brackets) of a file.
function(system_includes_of file out)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*<")
  set(result "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>.*$" "\\1" inc "${line}")
    list(APPEND result "${inc}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

# The quoted includes of a file, as paths from the top of the tree.
function(includes_of file out)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  get_filename_component(dir "${file}" DIRECTORY)
  file(RELATIVE_PATH dir "${SOURCE_DIR}" "${dir}")
  set(result "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*$" "\\1" inc "${line}")
    if(NOT inc MATCHES "/")
      set(inc "${dir}/${inc}")  # next to the including file
    endif()
    list(APPEND result "${inc}")
  endforeach()
  set(${out} "${result}" PARENT_SCOPE)
endfunction()

foreach(unit ${units})
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${unit}")
    continue()
  endif()
  file(GLOB_RECURSE files "${SOURCE_DIR}/${unit}/*.h" "${SOURCE_DIR}/${unit}/*.cpp")
  list(SORT files)
  foreach(file ${files})
    file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
    includes_of("${file}" incs)
    if(unit STREQUAL "platform")
      string(REGEX REPLACE "^platform/(.*)\\.(h|cpp)$" "\\1" key "${rel}")
      layer_of("${key}" own)
      if(own EQUAL -1)
        violation("${rel}: not in the platform layer table")
        continue()
      endif()
    endif()
    system_includes_of("${file}" sys_incs)
    foreach(inc ${sys_incs})
      if(inc MATCHES "${toolkits}")
        violation("${rel}: includes <${inc}>, which belongs in hosts/")
      elseif(inc MATCHES "${graphics_libs}" AND NOT (unit STREQUAL "platform" AND own GREATER 0))
        violation("${rel}: includes <${inc}> outside the platform's drawing and window layers")
      endif()
    endforeach()
    foreach(inc ${incs})
      string(REGEX MATCH "^[^/]+" top "${inc}")
      list(FIND folders_${unit} "${top}" allowed)
      if(allowed EQUAL -1)
        violation("${rel}: includes ${inc}, above ${unit}/")
        continue()
      endif()
      if(unit STREQUAL "platform" OR top STREQUAL "platform")
        string(REGEX REPLACE "^platform/(.*)\\.(h|cpp)$" "\\1" inc_key "${inc}")
        layer_of("${inc_key}" inc_layer)
        if(inc_layer EQUAL -1)
          violation("${rel}: includes ${inc}, which is not in the platform layer table")
        elseif(unit STREQUAL "platform" AND inc_layer GREATER own)
          list(GET layers ${own} own_name)
          list(GET layers ${inc_layer} inc_name)
          violation("${rel} (${own_name}): includes ${inc} (${inc_name})")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

list(LENGTH violations count)
foreach(v IN LISTS violations)
  message(STATUS "include rule: ${v}")
endforeach()
if(DEFINED EXPECT)
  if(NOT count EQUAL EXPECT)
    message(FATAL_ERROR "check_layers: ${count} violations found, ${EXPECT} planted")
  endif()
elseif(count GREATER 0)
  message(FATAL_ERROR "check_layers: ${count} include rule violations")
endif()
