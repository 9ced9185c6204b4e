// Binding a call's positional and keyword arguments to a callable's declared
// parameters, and converting each bound value with the shared error rules.
#pragma once

#include <span>
#include <string_view>

#include "python/binding_messages.h"
#include "python/python.h"

namespace ov::py {

// Fills `out` (one slot per parameter, borrowed references, null where the
// argument was not given) from `args` and `kwargs` (may be null): positional
// arguments left to right, then keywords in dict order, then the required
// check. Returns false with the binding TypeError pending.
bool bind_arguments(const CallableSpec& callable, PyObject* args, PyObject* kwargs,
                    std::span<PyObject*> out);

// After a failed conversion of parameter `param`: a pending exception of
// exactly TypeError becomes TypeError("argument 'param': " + its text), with
// its __cause__ carried over; any other exception is left as it is.
void prefix_argument_error(std::string_view param);

// Runs `convert()` (returning false with an exception pending on failure) as
// the conversion of parameter `param`.
template <class Convert>
bool convert_argument(std::string_view param, Convert&& convert) {
  if (convert()) return true;
  prefix_argument_error(param);
  return false;
}

// A callable of any signature as the PyCFunction a method table holds; the
// table's flags say how it is called.
template <class Function>
PyCFunction as_c_function(Function function) {
  return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function));
}

}  // namespace ov::py
