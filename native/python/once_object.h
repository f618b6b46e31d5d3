// A process-wide Python object (an exception class or a heap type) made on
// first use and kept until the process ends.
#pragma once

#include <atomic>
#include <exception>
#include <mutex>

#include "common/invariant.h"
#include "python/py.h"

namespace kelmon::py {

// A thread that has to wait for
// another's creation waits without the interpreter lock.
struct OnceObject {
  std::once_flag flag;
  std::atomic<PyObject*> value{nullptr};

  template <class Make>
  PyObject* get(Make make, const char* failure_message = "Failed to initialize new exception type.") {
    if (PyObject* ready = value.load(std::memory_order_acquire)) return ready;
    bool failed = false;
    PyThreadState* saved = PyEval_SaveThread();
    try {
      std::call_once(flag, [&] {
        PyEval_RestoreThread(saved);
        PyObject* made = nullptr;
        try {
          made = make();
        } catch (...) {
          made = nullptr;  // must give the lock back before leaving
        }
        saved = PyEval_SaveThread();
        if (made == nullptr) throw std::exception();  // leaves the flag unset, so a later import may retry
        value.store(made, std::memory_order_release);
      });
    } catch (...) {
      failed = true;
    }
    PyEval_RestoreThread(saved);
    if (failed) {
      PyErr_Clear();
      invariant_failure(failure_message);
    }
    return value.load(std::memory_order_acquire);
  }
};

}  // namespace kelmon::py
