// Python str to UTF-8 text and back, and the type names shown in messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "python/python.h"

namespace ov::py {

// The `__qualname__` of `value`'s type, or "<failed to extract type name>".
std::string type_qualname(PyObject* value);

// Sets TypeError "'T' object cannot be converted to 'TARGET'". Returns false.
bool raise_conversion_error(PyObject* value, std::string_view target);

// Converts a str (or subclass) to UTF-8. Anything else fails with the
// "'T' object cannot be converted to 'PyString'" TypeError; a str holding
// lone surrogates fails with the interpreter's UnicodeEncodeError.
// Returns false with the exception pending.
bool to_text(PyObject* value, std::string& out);

// A new str from UTF-8 text, or nullptr with an exception set.
PyObject* from_text(std::string_view text);

// A new list of str, or nullptr with an exception set.
PyObject* text_list(const std::vector<std::string>& texts);

}  // namespace ov::py
