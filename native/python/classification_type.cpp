// The Python class Classification. Objects are made only by classify and
// classify_bytes, never by calling the class.
#include "python/once_object.h"
#include "python/types.h"

namespace kelmon::py {

namespace {

PyType_Slot kSlots[] = {
    {Py_tp_doc, const_cast<char*>("The classification of an ontology: its taxonomy and the queries over it.")},
    {0, nullptr},
};

PyType_Spec kSpec = {
    "kelmon.Classification",
    0,
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION,
    kSlots,
};

}  // namespace

PyObject* classification_type() {
  static OnceObject once;
  return once.get([] { return PyType_FromSpec(&kSpec); }, "Failed to initialize the Classification type.");
}

}  // namespace kelmon::py
