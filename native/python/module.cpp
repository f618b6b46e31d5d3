// The extension module kelmon._native: its definition and its one execution step.
#include <deque>

#include "python/call_guard.h"
#include "python/errors.h"
#include "python/functions.h"
#include "python/module_names.h"
#include "python/pyref.h"
#include "python/rdf_xml_library.h"
#include "python/testing_hooks.h"
#include "python/types.h"

namespace kelmon::py {

namespace {

// Written once, in pyproject.toml; CMake passes it in.
constexpr const char* kVersion = KELMON_VERSION;

// Method records must outlive the function objects made from them.
PyMethodDef* method_def(const FunctionEntry& entry) {
  static std::deque<PyMethodDef> defs;
  defs.push_back(PyMethodDef{entry.name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(entry.impl)),
                             METH_FASTCALL | METH_KEYWORDS, entry.doc});
  return &defs.back();
}

int add_functions(PyObject* module, PyObject* module_name, std::span<const FunctionEntry> entries) {
  for (const auto& entry : entries) {
    PyRef function(PyCFunction_NewEx(method_def(entry), module, module_name));
    if (!function) return -1;
    if (add_module_name(module, entry.name, function.get()) < 0) return -1;
  }
  return 0;
}

int exec_steps(PyObject* module) {
  if (!PyModule_Check(module)) {
    PyErr_SetString(PyExc_TypeError, "module_exec expects a module object");
    return -1;
  }
  PyRef module_name(PyModule_GetNameObject(module));
  if (!module_name) return -1;
  locate_rdf_xml_library();
  PyRef version(PyUnicode_FromString(kVersion));
  if (!version || add_module_name(module, "__version__", version.get()) < 0) return -1;
  if (add_module_name(module, "KelmonError", kelmon_error_class()) < 0) return -1;
  if (add_module_name(module, "ParseError", parse_error_class()) < 0) return -1;
  if (add_module_name(module, "UnsupportedAxiomError", unsupported_axiom_error_class()) < 0) return -1;
  if (add_module_name(module, "UnknownClassError", unknown_class_error_class()) < 0) return -1;
  if (add_module_name(module, "Classification", classification_type()) < 0) return -1;
  if (add_functions(module, module_name.get(), main_functions()) < 0) return -1;
  if (register_prepared_ontology(module) < 0) return -1;
  if (add_functions(module, module_name.get(), prepare_functions()) < 0) return -1;
  if (add_testing_hooks(module, module_name.get()) < 0) return -1;
  // Reachable by name so that callers can catch it, but not one of the registered names in __all__.
  return PyObject_SetAttrString(module, "InternalFailure", internal_failure_class());
}

int module_exec(PyObject* module) {
  PyObject* failed = guard_call([&]() -> PyObject* { return exec_steps(module) < 0 ? nullptr : Py_None; });
  return failed == nullptr ? -1 : 0;
}

PyModuleDef_Slot kSlots[] = {
    {Py_mod_exec, reinterpret_cast<void*>(module_exec)},
    {0, nullptr},
};

PyModuleDef kModule = {
    PyModuleDef_HEAD_INIT, "_native", "", 0, nullptr, kSlots, nullptr, nullptr, nullptr,
};

}  // namespace

}  // namespace kelmon::py

PyMODINIT_FUNC PyInit__native(void) { return PyModuleDef_Init(&kelmon::py::kModule); }
