// The Python class PreparedOntology. Objects are made only by prepare and
// prepare_bytes, never by calling the class.
#include "python/call_guard.h"
#include "python/module_names.h"
#include "python/once_object.h"
#include "python/types.h"

namespace kelmon::py {

namespace {

// The methods refuse honestly until the justification state they answer from is built.
template <const char* Name>
PyObject* not_available(PyObject*, PyObject* const*, Py_ssize_t, PyObject*) {
  PyErr_Format(PyExc_NotImplementedError, "PreparedOntology.%s is not available yet", Name);
  return nullptr;
}

constexpr char kJustify[] = "justify";
constexpr char kJustifyAll[] = "justify_all";

#define KELMON_METHOD(fn) reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<fn>))

PyMethodDef kMethods[] = {
    {"justify", KELMON_METHOD(not_available<kJustify>), METH_FASTCALL | METH_KEYWORDS,
     "justify($self, query)\n--\n\nOne minimal justification for a query (CLI-style tokens; see `justify`).\n"
     "Empty list if not entailed."},
    {"justify_all", KELMON_METHOD(not_available<kJustifyAll>), METH_FASTCALL | METH_KEYWORDS,
     "justify_all($self, query, max=10)\n--\n\nAll minimal justifications (capped by `max`)."},
    {nullptr, nullptr, 0, nullptr},
};

#undef KELMON_METHOD

PyType_Slot kSlots[] = {
    {Py_tp_doc,
     const_cast<char*>("A loaded ontology with the per-ontology justification state precomputed once\n"
                       "(parse + logical-axiom split + fragment classification). Reuse it to justify\n"
                       "many queries without re-doing that full-ontology work each call — a large\n"
                       "win on big ontologies. Unsendable: use it from the thread that created it.")},
    {Py_tp_methods, kMethods},
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
