// Private functions that let the Python tests reach the boundary's error paths
// and builders directly. They start with an underscore and stay out of __all__.
#pragma once

#include "python/py.h"

namespace kelmon::py {

int add_testing_hooks(PyObject* module, PyObject* module_name);

}  // namespace kelmon::py
