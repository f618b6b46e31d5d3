// The materialization of class facts: entailed subclass pairs, class
// assertions and existential successors of named individuals.
#include "python/builders.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "reasoner/individuals/class_assertions.h"
#include "reasoner/individuals/inferred_subclasses.h"

namespace kelmon::py {

PyObject* impl_materialize_inferred_subclass_axioms(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                    PyObject* kwnames) {
  auto loaded = bind_path_and_load("materialize_inferred_subclass_axioms", args, nargs, kwnames);
  if (!loaded) return nullptr;
  auto pairs = reasoner::materialize_inferred_subclass_axioms(*loaded);
  loaded.reset();
  if (!pairs) return reasoner_error_to_py(std::move(pairs.error()));
  return to_py_pair_list(std::move(*pairs));
}

PyObject* impl_materialize_inferred_class_assertions(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                     PyObject* kwnames) {
  auto loaded = bind_path_and_load("materialize_inferred_class_assertions", args, nargs, kwnames);
  if (!loaded) return nullptr;
  auto pairs = reasoner::materialize_inferred_class_assertions(*loaded);
  loaded.reset();
  if (!pairs) return reasoner_error_to_py(std::move(pairs.error()));
  return to_py_pair_list(std::move(*pairs));
}

PyObject* impl_materialize_existential_successors(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                  PyObject* kwnames) {
  auto loaded = bind_path_and_load("materialize_existential_successors", args, nargs, kwnames);
  if (!loaded) return nullptr;
  auto tuples = reasoner::materialize_existential_successors(*loaded);
  loaded.reset();
  if (!tuples) return reasoner_error_to_py(std::move(tuples.error()));
  return to_py_successor_list(std::move(*tuples));
}

}  // namespace kelmon::py
