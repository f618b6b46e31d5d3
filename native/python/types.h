// The module's two classes, heap types made once per process on first use.
#pragma once

#include "python/py.h"

namespace kelmon::py {

PyObject* classification_type();      // borrowed
PyObject* prepared_ontology_type();   // borrowed

// Adds PreparedOntology to the module (through add_module_name); -1 with an exception set on failure.
int register_prepared_ontology(PyObject* module);

}  // namespace kelmon::py
