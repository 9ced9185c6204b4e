// Releasing the interpreter lock around work that touches no Python object.
#pragma once

#include "python/python.h"

namespace ov::py {

// Releases the lock for its lifetime; the lock is back before any exception
// leaves the scope.
class ReleasedLock {
 public:
  ReleasedLock() : state_(PyEval_SaveThread()) {}
  ReleasedLock(const ReleasedLock&) = delete;
  ReleasedLock& operator=(const ReleasedLock&) = delete;
  ~ReleasedLock() { PyEval_RestoreThread(state_); }

 private:
  PyThreadState* state_;
};

}  // namespace ov::py
