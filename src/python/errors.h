// Raising Python exceptions at the boundary, and the guard that keeps C++
// exceptions from unwinding into the interpreter.
#pragma once

#include <exception>
#include <string_view>

#include "base/failure.h"
#include "python/python.h"

namespace ov::py {

// Makes sure an exception is pending after a C API call reported failure:
// when none is, sets SystemError "attempted to fetch exception but none was
// set". Always returns nullptr, for `return fail();`.
PyObject* fail();

// Sets `type(text)` as the pending exception (the text may hold NUL bytes).
// Returns nullptr.
PyObject* raise(PyObject* type, std::string_view text);

// Sets PanicException(text), creating the class on first use. Returns nullptr.
PyObject* raise_panic(std::string_view text);

// The dotted name of the PanicException class of the module being built:
// each extension module of the package defines its own.
extern const char* const kPanicTypeName;

// Sets ValueError(message) for a refusal of the rooms below (a usage error,
// a missing placeholder value, an unreadable catalog). Returns nullptr.
PyObject* raise_failure(const Failure& failure);

// Runs `body` (returning a new reference or nullptr with an exception set);
// any C++ exception it throws becomes PanicException with its message.
template <class Body>
PyObject* guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception& fault) {
    return raise_panic(fault.what());
  } catch (...) {
    return raise_panic("unknown internal fault");
  }
}

}  // namespace ov::py
