// The common wrapper around every module function and method: no C++
// exception crosses into the interpreter, and a broken invariant surfaces as
// the internal-failure exception with its fixed message.
#pragma once

#include <exception>
#include <new>

#include "common/invariant.h"
#include "python/binding.h"
#include "python/errors.h"

namespace kelmon::py {

template <class F>
PyObject* guard_call(F&& body) noexcept {
  try {
    return body();
  } catch (const InvariantFailure& failure) {
    return raise_internal_failure(failure.message());
  } catch (const std::bad_alloc&) {
    return PyErr_NoMemory();
  } catch (const std::exception& e) {
    return raise_internal_failure(e.what());
  } catch (...) {
    return raise_internal_failure("unknown internal error");
  }
}

// Wraps a FastFn so that it runs inside guard_call.
template <FastFn F>
PyObject* guarded(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
  return guard_call([&] { return F(self, args, nargs, kwnames); });
}

}  // namespace kelmon::py
