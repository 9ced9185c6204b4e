# Writes a C++ source holding the files FILES (in DIR) as byte arrays, in the
# given order, behind FUNCTION (default bundled_files) returning
# std::span<const BundledFile>. Run with cmake -P; a missing file stops the
# build.
if(NOT DEFINED FUNCTION)
  set(FUNCTION bundled_files)
endif()
foreach(var OUTPUT DIR FILES)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "embed_catalog.cmake needs -D${var}=...")
  endif()
endforeach()

set(body "")
set(table "")
set(index 0)
foreach(name IN LISTS FILES)
  set(path "${DIR}/${name}")
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "compiled-in file missing: ${path}")
  endif()
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  # A trailing NUL keeps the array non-empty; it is not part of the text.
  string(APPEND body "constexpr char kFile${index}[] = {${bytes}'\\0'};\n")
  string(APPEND table "    {\"${name}\", std::string_view(kFile${index}, ${size})},\n")
  math(EXPR index "${index} + 1")
endforeach()

set(content "// Generated from files of catalog/ by cmake/embed_catalog.cmake; do not edit.
#include <array>

#include \"catalog/bundled.h\"

namespace ov {
namespace {
${body}
constexpr std::array<BundledFile, ${index}> kBundled{{
${table}}};
}  // namespace

std::span<const BundledFile> ${FUNCTION}() { return kBundled; }

}  // namespace ov
")
file(WRITE "${OUTPUT}.tmp" "${content}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
