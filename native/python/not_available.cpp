// Functions whose subsystem is not built yet: they refuse honestly instead
// of answering. Each is removed from here when its real body lands.
#include "python/implementations.h"

namespace kelmon::py {

namespace {
PyObject* not_available(const char* name) {
  PyErr_Format(PyExc_NotImplementedError, "%s is not available yet", name);
  return nullptr;
}
}  // namespace

#define KELMON_NOT_AVAILABLE(name) \
  PyObject* impl_##name(PyObject*, PyObject* const*, Py_ssize_t, PyObject*) { return not_available(#name); }

KELMON_NOT_AVAILABLE(class_expression_instances)
KELMON_NOT_AVAILABLE(materialize_inferred_class_assertions)
KELMON_NOT_AVAILABLE(materialize_existential_successors)

#undef KELMON_NOT_AVAILABLE

}  // namespace kelmon::py
