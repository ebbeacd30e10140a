# Writes a C++ source holding the page's files as byte arrays, so the program carries its
# page with it; the viewer's script files are first joined into one script, kept beside it.
# Run as: cmake -DOUT=<file.cpp> -DDIR=<page folder> -P embed.cmake
include(${DIR}/parts.cmake)
set(_script "// The catalogue page's viewer, joined at build time from catalog/page: do not edit.\n")
string(APPEND _script "(function () {\n'use strict';\n")
foreach(_part IN LISTS CATALOG_SCRIPT_PARTS)
  file(READ "${DIR}/${_part}" _text)
  string(APPEND _script "\n// ---- ${_part} ----\n\n${_text}")
endforeach()
string(APPEND _script "})();\n")
get_filename_component(_out_dir "${OUT}" DIRECTORY)
file(WRITE "${_out_dir}/catalogo.js" "${_script}")

set(_out "// Made at build time from catalog/page: do not edit.\n#include <cstddef>\nnamespace catalog {\n")
foreach(_pair "kCatalogTemplate|${DIR}/catalogo.html" "kCatalogStyle|${DIR}/catalogo.css"
              "kCatalogScript|${_out_dir}/catalogo.js")
  string(REPLACE "|" ";" _pair "${_pair}")
  list(GET _pair 0 _name)
  list(GET _pair 1 _file)
  file(READ "${_file}" _hex HEX)
  string(LENGTH "${_hex}" _length)
  math(EXPR _size "${_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
  string(APPEND _out "extern const unsigned char ${_name}[] = {${_bytes}0};\n")
  string(APPEND _out "extern const std::size_t ${_name}Size = ${_size};\n")
endforeach()
string(APPEND _out "} // namespace catalog\n")
file(WRITE "${OUT}" "${_out}")
