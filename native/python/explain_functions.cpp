// justify, justify_all, repair, diagnose, prepare and prepare_bytes.
#include <array>

#include "python/binding.h"
#include "python/builders.h"
#include "python/explain_calls.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "python/prepared_ontology_object.h"
#include "reasoner/explanation/diagnosis.h"
#include "reasoner/explanation/repairs.h"
#include "reasoner/explanation/subset_oracle.h"

namespace kelmon::py {

namespace {

struct QueryCall {
  owl::LoadedOntology loaded;
  explain::JustifyQuery query;
  std::uint64_t max = 10;
};

// Binds (path, query[, max]), loads the document, then parses the query, so
// a bad path is reported before a bad query.
std::optional<QueryCall> bind_query_call(const char* function, bool takes_max, PyObject* const* args,
                                         Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 3> kSpecs = {{{"path"}, {"query"}, {"max", ArgKind::PositionalOrKeyword, false}}};
  std::array<PyObject*, 3> bound{};
  const std::span<const ArgSpec> specs = std::span(kSpecs).first(takes_max ? 3 : 2);
  if (!bind_arguments(function, specs, args, nargs, kwnames, std::span(bound).first(specs.size()))) return std::nullopt;
  auto path = to_string(bound[0], "path");
  if (!path) return std::nullopt;
  auto tokens = to_string_list(bound[1], "query");
  if (!tokens) return std::nullopt;
  std::uint64_t max = 10;
  if (takes_max && bound[2] != nullptr) {
    auto m = to_u64(bound[2], "max");
    if (!m) return std::nullopt;
    max = *m;
  }
  auto loaded = load_or_raise(*path);
  if (!loaded) return std::nullopt;
  auto query = parse_query_or_raise(*tokens);
  if (!query) return std::nullopt;
  return QueryCall{std::move(*loaded), std::move(*query), max};
}

}  // namespace

PyObject* impl_justify(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto call = bind_query_call("justify", false, args, nargs, kwnames);
  if (!call) return nullptr;
  const explain::SplitAxioms split = explain::split_logical_axioms(call->loaded.axioms);
  explain::SubsetOracle oracle(explain::built_kernel());
  auto found = explain::find_justification(oracle, split.non_logical, split.logical, call->query);
  if (!found) return explain_error_to_py("justify", std::move(found.error()));
  if (!*found) return to_py_str_list({});
  return to_py_str_list(render_axioms(**found));
}

PyObject* impl_justify_all(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto call = bind_query_call("justify_all", true, args, nargs, kwnames);
  if (!call) return nullptr;
  const explain::SplitAxioms split = explain::split_logical_axioms(call->loaded.axioms);
  explain::SubsetOracle oracle(explain::built_kernel());
  auto found = explain::find_all_justifications(oracle, split.non_logical, split.logical, call->query, call->max);
  if (!found) return explain_error_to_py("justify_all", std::move(found.error()));
  return to_py_axiom_lists(*found);
}

PyObject* impl_repair(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto call = bind_query_call("repair", true, args, nargs, kwnames);
  if (!call) return nullptr;
  const explain::PreparedOntology state = explain::PreparedOntology::prepare(call->loaded.axioms);
  explain::SubsetOracle oracle(explain::built_kernel());
  auto found = explain::find_repairs(oracle, state, call->query, call->max);
  if (!found) return explain_error_to_py("repair", std::move(found.error()));
  return to_py_axiom_lists(found->repairs);
}

PyObject* impl_diagnose(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto loaded = bind_path_and_load("diagnose", args, nargs, kwnames);
  if (!loaded) return nullptr;
  auto partition = explain::diagnose(loaded->axioms, explain::built_kernel());
  loaded.reset();
  if (!partition) return explain_error_to_py("diagnose", std::move(partition.error()));
  return to_py_diagnosis(partition->consistent, std::move(partition->roots), std::move(partition->derived));
}

PyObject* impl_prepare(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto loaded = bind_path_and_load("prepare", args, nargs, kwnames);
  if (!loaded) return nullptr;
  return create_prepared_ontology_object(explain::PreparedOntology::prepare(loaded->axioms));
}

PyObject* impl_prepare_bytes(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"data"}, {"format", ArgKind::KeywordOnly, true}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("prepare_bytes", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto data = to_bytes(bound[0], "data");
  if (!data) return nullptr;
  auto format = to_string(bound[1], "format");
  if (!format) return nullptr;
  auto loaded = parse_bytes_or_raise(*data, *format);
  if (!loaded) return nullptr;
  return create_prepared_ontology_object(explain::PreparedOntology::prepare(loaded->axioms));
}

}  // namespace kelmon::py
