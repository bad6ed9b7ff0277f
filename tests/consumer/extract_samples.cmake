# Turns the code samples of the README (```cpp blocks) and of the header comments that
# show a complete use into sources that the consumer project builds against the
# installed package, so that documented code cannot drift from the library.
#
#   kvr_extract_samples(<source dir> <output dir>)
# writes <output dir>/samples.cpp (fragments, run one after another), and
# <output dir>/qt_samples.cpp (samples that need the Qt host; compiled only).

# Headers whose first indented comment block is meant to compile as it stands. Names the
# samples use without declaring them (a chart, a colour) come from sample_context.h.
set(KVR_SAMPLE_HEADERS platform/control.h platform/svgcanvas.h platform/themes.h
  scale/scale.h colorscale/colorscale.h gauge/gauge.h)
set(KVR_QT_SAMPLE_HEADERS hosts/qt/qthost.h)

# The first run of lines starting with "//   " in a header, comment marks removed.
function(kvr_header_sample header out_var)
  file(READ ${header} text)
  string(FIND "${text}" "\n//   " start)
  if(start EQUAL -1)
    message(FATAL_ERROR "${header} has no indented example")
  endif()
  math(EXPR start "${start} + 1")
  string(SUBSTRING "${text}" ${start} -1 text)
  set(body "")
  while(text MATCHES "^//   ")
    string(FIND "${text}" "\n" eol)
    math(EXPR len "${eol} - 5")
    string(SUBSTRING "${text}" 5 ${len} line)
    string(APPEND body "  ${line}\n")
    math(EXPR eol "${eol} + 1")
    string(SUBSTRING "${text}" ${eol} -1 text)
  endwhile()
  set(${out_var} "${body}" PARENT_SCOPE)
endfunction()

# Splits a sample into its #include lines and the rest.
function(kvr_split_includes sample includes_var body_var)
  set(includes "")
  while(sample MATCHES "^(#include [^\n]*\n)")
    string(APPEND includes "${CMAKE_MATCH_1}")
    string(LENGTH "${CMAKE_MATCH_1}" n)
    string(SUBSTRING "${sample}" ${n} -1 sample)
  endwhile()
  set(${includes_var} "${includes}" PARENT_SCOPE)
  set(${body_var} "${sample}" PARENT_SCOPE)
endfunction()

# A sample becomes a struct deriving from its context; its code runs in run().
function(kvr_wrap_sample name context body out_var)
  # A return at the sample's own indentation (not one inside a lambda).
  if(body MATCHES "(^|\n)(  |    )return ")
    set(type int)
  else()
    set(type void)
  endif()
  set(${out_var} "struct ${name} : ctx::${context} {\n  ${type} run() {\n${body}  }\n};\n"
    PARENT_SCOPE)
endfunction()

function(kvr_extract_samples src out)
  set(head "// Generated from the documentation by extract_samples.cmake.\n#include \"kvrchart.h\"\n")
  set(includes "")
  set(code "")
  set(runs "")
  set(qt_includes "#include \"hosts/qt/qthost.h\"\n")
  set(qt_code "")
  set(qt_programs 0)

  file(READ ${src}/README.md text)
  set(index 0)
  while(TRUE)
    string(FIND "${text}" "```cpp\n" start)
    if(start EQUAL -1)
      break()
    endif()
    math(EXPR start "${start} + 7")
    string(SUBSTRING "${text}" ${start} -1 text)
    string(FIND "${text}" "```" stop)
    string(SUBSTRING "${text}" 0 ${stop} block)
    string(SUBSTRING "${text}" ${stop} -1 text)
    math(EXPR index "${index} + 1")
    kvr_split_includes("${block}" inc body)
    if(block MATCHES "int main\\(")
      # A whole program: its main becomes a function of its own.
      math(EXPR qt_programs "${qt_programs} + 1")
      string(REPLACE "int main(" "int readme_main_${index}(" body "${body}")
      string(APPEND qt_includes "${inc}")
      string(APPEND qt_code "${body}\n")
    else()
      string(APPEND includes "${inc}")
      string(REGEX REPLACE "\n" "\n    " body "    ${body}")
      kvr_wrap_sample(readme_${index} none "${body}\n" wrapped)
      string(APPEND code "${wrapped}")
      string(APPEND runs "  readme_${index}{}.run();\n")
    endif()
  endwhile()
  if(index EQUAL 0)
    message(FATAL_ERROR "README.md has no C++ samples")
  endif()

  foreach(header ${KVR_SAMPLE_HEADERS} ${KVR_QT_SAMPLE_HEADERS})
    kvr_header_sample(${src}/${header} body)
    string(MAKE_C_IDENTIFIER "${header}" name)
    kvr_wrap_sample(${name} ${name} "${body}" wrapped)
    if(header IN_LIST KVR_QT_SAMPLE_HEADERS)
      string(APPEND qt_code "${wrapped}")
    else()
      string(APPEND code "${wrapped}")
      string(APPEND runs "  ${name}{}.run();\n")
    endif()
  endforeach()

  file(WRITE ${out}/samples.cpp "${head}${includes}#include \"sample_context.h\"\n\n${code}\n"
    "int main() {\n${runs}  return 0;\n}\n")
  file(WRITE ${out}/qt_samples.cpp "${head}${qt_includes}#include <QApplication>\n"
    "#define KVR_SAMPLES_WITH_QT\n#include \"sample_context.h\"\n\n"
    "${qt_code}\nint main() { return 0; }  // compiled and linked, not run: the samples wait for a window\n")
endfunction()
