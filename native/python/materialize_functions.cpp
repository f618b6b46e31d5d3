// The materialization of class facts: entailed subclass pairs, class
// assertions and existential successors of named individuals.
#include "python/builders.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "reasoner/individuals/class_assertions.h"
#include "reasoner/individuals/inferred_subclasses.h"

namespace kelmon::py {

namespace {

// Binds `path`, loads the document, produces the list and builds it; the
// loaded document is dropped before the Python values are made.
template <class Produce, class Build>
PyObject* materialize(const char* function, Produce produce, Build build, PyObject* const* args, Py_ssize_t nargs,
                      PyObject* kwnames) {
  auto loaded = bind_path_and_load(function, args, nargs, kwnames);
  if (!loaded) return nullptr;
  auto items = produce(*loaded);
  loaded.reset();
  if (!items) return reasoner_error_to_py(std::move(items.error()));
  return build(std::move(*items));
}

}  // namespace

PyObject* impl_materialize_inferred_subclass_axioms(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                    PyObject* kwnames) {
  return materialize("materialize_inferred_subclass_axioms", reasoner::materialize_inferred_subclass_axioms,
                     to_py_pair_list, args, nargs, kwnames);
}

PyObject* impl_materialize_inferred_class_assertions(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                     PyObject* kwnames) {
  return materialize("materialize_inferred_class_assertions", reasoner::materialize_inferred_class_assertions,
                     to_py_pair_list, args, nargs, kwnames);
}

PyObject* impl_materialize_existential_successors(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                  PyObject* kwnames) {
  return materialize("materialize_existential_successors", reasoner::materialize_existential_successors,
                     to_py_successor_list, args, nargs, kwnames);
}

}  // namespace kelmon::py
