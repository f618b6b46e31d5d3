// realize, instances_of and is_instance_of: load, convert, one individual
// service, plain Python values. A type or instance whose test ran out of time
// (or that a bound stopped) is missing, and the function says so with an
// IncompleteQueryWarning.
#include <array>
#include <string>
#include <utility>

#include "python/builders.h"
#include "python/converted_arguments.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/pyref.h"
#include "reasoner/individuals/instance_retrieval.h"
#include "reasoner/individuals/realization.h"

namespace kelmon::py {

namespace {

// individual IRI -> list of most specific type IRIs. The dict's key order
// follows a freshly seeded map and is not defined.
PyObject* realization_to_py(reasoner::Realization&& realization) {
  reasoner::TypeMap most_specific;
  for (const std::string& iri : realization.individuals)
    most_specific.insert_or_assign(iri, realization.most_specific_types(iri));
  realization = {};
  PyRef dict(PyDict_New());
  if (!dict) return nullptr;
  for (auto it = most_specific.begin(); it != most_specific.end(); ++it) {
    PyRef key(to_py_str(std::string(it->first)));
    PyRef value(to_py_str_list(std::move(it.value())));
    if (PyDict_SetItem(dict.get(), key.get(), value.get()) != 0) return nullptr;
  }
  return dict.release();
}

}  // namespace

PyObject* impl_realize(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"path"}}};
  auto in = load_arguments("realize", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  auto realization = reasoner::realize_internal(in->first);
  in.reset();
  if (!realization) return reasoner_error_to_py(std::move(realization.error()));
  if (realization->any_timed_out &&
      !warn_incomplete("realize", "an instance test ran out of time or hit a search bound; its type may be missing"))
    return nullptr;
  return realization_to_py(std::move(*realization));
}

PyObject* impl_instances_of(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"path"}, {"class_iri"}}};
  auto in = load_arguments("instances_of", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  auto list = reasoner::instances_of_internal(in->first, in->second[1]);
  in.reset();
  if (!list) return reasoner_error_to_py(std::move(list.error()));
  if (list->timed_out && !warn_incomplete("instances_of", "an instance test ran out of time or hit a search bound; an instance may be missing"))
    return nullptr;
  return to_py_str_list(std::move(list->instances));
}

PyObject* impl_is_instance_of(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 3> kSpecs = {{{"path"}, {"class_iri"}, {"individual_iri"}}};
  auto in = load_arguments("is_instance_of", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  auto answer = reasoner::is_instance_of_internal(in->first, in->second[1], in->second[2]);
  in.reset();
  if (!answer) return reasoner_error_to_py(std::move(answer.error()));
  if (answer->timed_out && !warn_incomplete("is_instance_of", "the instance test ran out of time or hit a search bound; False is a guess"))
    return nullptr;
  return PyBool_FromLong(answer->is_instance ? 1 : 0);
}

}  // namespace kelmon::py
