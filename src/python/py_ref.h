// An owned reference to a Python object: released exactly once, by RAII.
#pragma once

#include "python/python.h"

namespace ov::py {

class PyRef {
 public:
  PyRef() = default;
  // Takes over a new reference (may be null, meaning failure).
  static PyRef steal(PyObject* object) { return PyRef(object); }
  // Adds a reference to a borrowed object.
  static PyRef borrow(PyObject* object) {
    Py_XINCREF(object);
    return PyRef(object);
  }

  PyRef(const PyRef&) = delete;
  PyRef& operator=(const PyRef&) = delete;
  PyRef(PyRef&& other) noexcept : object_(other.release()) {}
  PyRef& operator=(PyRef&& other) noexcept {
    if (this != &other) {
      Py_XDECREF(object_);
      object_ = other.release();
    }
    return *this;
  }
  ~PyRef() { Py_XDECREF(object_); }

  PyObject* get() const { return object_; }
  // Hands the reference to the caller.
  PyObject* release() {
    PyObject* object = object_;
    object_ = nullptr;
    return object;
  }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  explicit PyRef(PyObject* object) : object_(object) {}
  PyObject* object_ = nullptr;
};

}  // namespace ov::py
