// Entailed disjoint classes, same individuals and different individuals, each
// with its `incomplete` flag.
#include "python/builders.h"
#include "python/implementations.h"
#include "python/path_call.h"
#include "reasoner/pairs/pair_services.h"

namespace kelmon::py {

namespace {

PyObject* pairs_with_flag(std::optional<reasoner::PairAnswer> answer) {
  if (!answer) return nullptr;
  return to_py_with_incomplete(to_py_pair_list(std::move(answer->pairs)), answer->incomplete);
}

}  // namespace

PyObject* impl_disjoint_classes(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pairs_with_flag(run_on_path("disjoint_classes", reasoner::disjoint_classes, args, nargs, kwnames));
}

PyObject* impl_different_individuals(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pairs_with_flag(run_on_path("different_individuals", reasoner::different_individuals, args, nargs, kwnames));
}

PyObject* impl_same_individuals(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto answer = run_on_path("same_individuals", reasoner::same_individuals, args, nargs, kwnames);
  if (!answer) return nullptr;
  return to_py_with_incomplete(to_py_str_list_list(std::move(answer->groups)), answer->incomplete);
}

}  // namespace kelmon::py
