// The property functions: hierarchies, entailed sub-property pairs and
// told-disjoint property pairs.
#include "python/builders.h"
#include "python/implementations.h"
#include "python/path_call.h"
#include "reasoner/properties/property_classify.h"
#include "reasoner/properties/told_disjoint.h"

namespace kelmon::py {

namespace {

using Producer = PathProducer<reasoner::PropertyPairs>;

std::optional<reasoner::PropertyPairs> produce(const char* function, Producer producer, PyObject* const* args,
                                               Py_ssize_t nargs, PyObject* kwnames) {
  return run_on_path(function, producer, args, nargs, kwnames);
}

PyObject* pair_list(std::optional<reasoner::PropertyPairs> pairs) {
  return pairs ? to_py_pair_list(std::move(*pairs)) : nullptr;
}

PyObject* hierarchy(std::optional<reasoner::PropertyPairs> pairs) {
  if (!pairs) return nullptr;
  reasoner::PropertyHierarchy h = reasoner::classify_properties(std::move(*pairs));
  return to_py_hierarchy(std::move(h.groups), std::move(h.pairs));
}

}  // namespace

PyObject* impl_object_property_hierarchy(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return hierarchy(produce("object_property_hierarchy", reasoner::inferred_subobjectproperty_pairs, args, nargs,
                           kwnames));
}

PyObject* impl_data_property_hierarchy(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return hierarchy(produce("data_property_hierarchy", reasoner::inferred_subdataproperty_pairs, args, nargs, kwnames));
}

PyObject* impl_materialize_inferred_subobjectproperty_axioms(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                             PyObject* kwnames) {
  return pair_list(produce("materialize_inferred_subobjectproperty_axioms",
                           reasoner::inferred_subobjectproperty_pairs, args, nargs, kwnames));
}

PyObject* impl_materialize_inferred_subdataproperty_axioms(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                           PyObject* kwnames) {
  return pair_list(produce("materialize_inferred_subdataproperty_axioms", reasoner::inferred_subdataproperty_pairs,
                           args, nargs, kwnames));
}

PyObject* impl_disjoint_object_properties(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pair_list(produce("disjoint_object_properties", reasoner::disjoint_object_properties, args, nargs, kwnames));
}

PyObject* impl_disjoint_data_properties(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return pair_list(produce("disjoint_data_properties", reasoner::disjoint_data_properties, args, nargs, kwnames));
}

}  // namespace kelmon::py
