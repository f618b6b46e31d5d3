// The bodies of the module functions listed in function_list.h, one file per
// group of functions. A body runs inside the common call wrapper
// (call_guard.h), so it may throw.
#pragma once

#include "python/py.h"

namespace kelmon::py {

#define KELMON_FUNCTION(group, name, parameters, description) \
  PyObject* impl_##name(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
#include "python/function_list.h"
#undef KELMON_FUNCTION

}  // namespace kelmon::py
