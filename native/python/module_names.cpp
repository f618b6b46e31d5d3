#include "python/module_names.h"

#include "common/invariant.h"
#include "python/pyref.h"

namespace kelmon::py {

namespace {

// The module's __all__ list, created empty on first use (borrowed is not
// available in the limited API, so this returns a new reference).
PyObject* all_list(PyObject* module) {
  PyObject* existing = PyObject_GetAttrString(module, "__all__");
  if (existing != nullptr) return existing;
  if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return nullptr;
  PyErr_Clear();
  PyRef list(PyList_New(0));
  if (!list) return nullptr;
  if (PyObject_SetAttrString(module, "__all__", list.get()) < 0) return nullptr;
  return list.release();
}

}  // namespace

int add_module_name(PyObject* module, const char* name, PyObject* value) {
  PyRef all(all_list(module));
  if (!all) return -1;
  PyRef text(PyUnicode_FromString(name));
  if (!text) return -1;
  if (!PyList_Check(all.get()) || PyList_Append(all.get(), text.get()) < 0) {
    PyErr_Clear();
    invariant_failure("could not append __name__ to __all__");
  }
  return PyObject_SetAttrString(module, name, value);
}

}  // namespace kelmon::py
