// Adding a name to the module: every name also goes into __all__, in order.
#pragma once

#include "python/py.h"

namespace kelmon::py {

// Appends `name` to the module's __all__ (creating it on first use) and sets
// the attribute; `value` is borrowed. -1 with an exception set on failure.
int add_module_name(PyObject* module, const char* name, PyObject* value);

}  // namespace kelmon::py
