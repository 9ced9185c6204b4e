// The one place that includes Python.h, always against the stable ABI of 3.9.
#pragma once

#ifndef Py_LIMITED_API
#define Py_LIMITED_API 0x03090000
#endif
#define PY_SSIZE_T_CLEAN
#include <Python.h>
