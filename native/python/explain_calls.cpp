#include "python/explain_calls.h"

#include <string>

#include "owl/manchester_writer.h"
#include "python/builders.h"
#include "python/errors.h"

namespace kelmon::py {

std::optional<explain::JustifyQuery> parse_query_or_raise(std::span<const std::string> tokens) {
  auto query = explain::parse_query(tokens);
  if (!query) {
    PyErr_SetString(PyExc_ValueError, query.error().c_str());
    return std::nullopt;
  }
  return std::move(*query);
}

std::vector<std::string> render_axioms(const std::vector<owl::Axiom>& axioms) {
  std::vector<std::string> lines;
  lines.reserve(axioms.size());
  for (const owl::Axiom& a : axioms) lines.push_back(owl::render_manchester_axiom(a));
  return lines;
}

PyObject* to_py_axiom_lists(const std::vector<std::vector<owl::Axiom>>& lists) {
  std::vector<std::vector<std::string>> rendered;
  rendered.reserve(lists.size());
  for (const auto& l : lists) rendered.push_back(render_axioms(l));
  return to_py_str_list_list(std::move(rendered));
}

PyObject* explain_error_to_py(const char* function, ReasonerError error) {
  if (!std::holds_alternative<NoVerdict>(error)) return reasoner_error_to_py(std::move(error));
  PyErr_Format(kelmon_error_class(), "%s: the reasoner could not decide every entailment this needs", function);
  return nullptr;
}

}  // namespace kelmon::py
