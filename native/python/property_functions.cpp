// The property functions: hierarchies, entailed sub-property pairs and
// told-disjoint property pairs.
#include <array>

#include "python/binding.h"
#include "python/builders.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "reasoner/properties/property_classify.h"
#include "reasoner/properties/told_disjoint.h"

namespace kelmon::py {

namespace {

using Producer = Result<reasoner::PropertyPairs> (*)(const owl::LoadedOntology&);

// Binds `path`, loads the document, runs the producer; nullopt with the exception set.
std::optional<reasoner::PropertyPairs> produce(const char* function, Producer producer, PyObject* const* args,
                                               Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"path"}}};
  std::array<PyObject*, 1> bound{};
  if (!bind_arguments(function, kSpecs, args, nargs, kwnames, bound)) return std::nullopt;
  auto path = to_string(bound[0], "path");
  if (!path) return std::nullopt;
  auto loaded = load_or_raise(*path);
  if (!loaded) return std::nullopt;
  auto pairs = producer(*loaded);
  loaded.reset();
  if (!pairs) {
    reasoner_error_to_py(std::move(pairs.error()));
    return std::nullopt;
  }
  return std::move(*pairs);
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
