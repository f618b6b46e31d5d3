// The Python class PreparedOntology. Objects are made only by prepare and
// prepare_bytes, never by calling the class.
#include "python/module_names.h"
#include "python/once_object.h"
#include "python/types.h"

namespace kelmon::py {

namespace {

PyType_Slot kSlots[] = {
    {Py_tp_doc, const_cast<char*>("An ontology loaded once, ready for many justification queries.")},
    {0, nullptr},
};

PyType_Spec kSpec = {
    "kelmon.PreparedOntology",
    0,
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION,
    kSlots,
};

}  // namespace

PyObject* prepared_ontology_type() {
  static OnceObject once;
  return once.get([] { return PyType_FromSpec(&kSpec); }, "Failed to initialize the PreparedOntology type.");
}

int register_prepared_ontology(PyObject* module) {
  return add_module_name(module, "PreparedOntology", prepared_ontology_type());
}

}  // namespace kelmon::py
