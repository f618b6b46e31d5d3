// An owned Python reference, released on scope exit.
#pragma once

#include <utility>

#include "python/py.h"

namespace kelmon::py {

class PyRef {
 public:
  PyRef() = default;
  explicit PyRef(PyObject* owned) : obj_(owned) {}
  PyRef(const PyRef&) = delete;
  PyRef& operator=(const PyRef&) = delete;
  PyRef(PyRef&& other) noexcept : obj_(std::exchange(other.obj_, nullptr)) {}
  PyRef& operator=(PyRef&& other) noexcept {
    if (this != &other) {
      Py_XDECREF(obj_);
      obj_ = std::exchange(other.obj_, nullptr);
    }
    return *this;
  }
  ~PyRef() { Py_XDECREF(obj_); }

  PyObject* get() const { return obj_; }
  PyObject* release() { return std::exchange(obj_, nullptr); }
  explicit operator bool() const { return obj_ != nullptr; }

 private:
  PyObject* obj_ = nullptr;
};

}  // namespace kelmon::py
