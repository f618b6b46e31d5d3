// Object and data property values of named individuals.
#include "python/builders.h"
#include "python/implementations.h"
#include "python/path_call.h"
#include "reasoner/properties/data_values.h"
#include "reasoner/properties/property_values.h"

namespace kelmon::py {

namespace {

using Triples = std::vector<reasoner::PropertyTriple>;
using Records = std::vector<reasoner::DataValueRecord>;

PyObject* data_values(const char* function, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto records = run_on_path<Records>(function, reasoner::inferred_data_property_assertions, args, nargs, kwnames);
  return records ? to_py_data_value_list(std::move(*records)) : nullptr;
}

}  // namespace

PyObject* impl_materialize_inferred_property_assertions(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                        PyObject* kwnames) {
  auto triples = run_on_path<Triples>("materialize_inferred_property_assertions",
                                      reasoner::inferred_object_property_assertions, args, nargs, kwnames);
  return triples ? to_py_triple_list(std::move(*triples)) : nullptr;
}

PyObject* impl_object_property_values(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto values = run_on_path<reasoner::PropertyValues>("object_property_values", reasoner::object_property_values, args,
                                                      nargs, kwnames);
  if (!values) return nullptr;
  return to_py_with_incomplete(to_py_triple_list(std::move(values->triples)), values->incomplete);
}

PyObject* impl_materialize_inferred_data_property_assertions(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                             PyObject* kwnames) {
  return data_values("materialize_inferred_data_property_assertions", args, nargs, kwnames);
}

PyObject* impl_data_property_values(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  // The producer's list is already sorted and free of duplicates.
  return data_values("data_property_values", args, nargs, kwnames);
}

}  // namespace kelmon::py
