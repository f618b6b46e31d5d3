// class_expression_satisfiable, class_expression_entailed_subclass and
// class_expression_instances: (answer, incomplete) about Manchester class
// expressions, which the Python layer unpacks.
#include <array>
#include <string>
#include <vector>

#include "python/binding.h"
#include "python/builders.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "reasoner/individuals/class_expression_queries.h"

namespace kelmon::py {

namespace {

struct ExpressionCall {
  owl::LoadedOntology loaded;
  std::vector<owl::ClassExpression> expressions;  // in argument order
};

// Binds `path` and the expression arguments, loads the document with its
// prefixes, then parses the expressions in order: a bad document is reported
// before a bad expression, and a bad expression before any reasoning.
template <std::size_t N>
std::optional<ExpressionCall> bind_expression_call(const char* function, const std::array<ArgSpec, N>& specs,
                                                   PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto text = bind_strings(function, specs, args, nargs, kwnames);
  if (!text) return std::nullopt;
  auto loaded = load_with_prefixes_or_raise((*text)[0]);
  if (!loaded) return std::nullopt;
  const owl::BuildContext context = owl::build_context(loaded->axioms);
  ExpressionCall call{std::move(*loaded), {}};
  for (std::size_t i = 1; i < N; ++i) {
    auto ce = parse_class_expression_arg((*text)[i], call.loaded, context);
    if (!ce) return std::nullopt;
    call.expressions.push_back(std::move(*ce));
  }
  return call;
}

PyObject* answer_to_py(Result<reasoner::ExpressionAnswer> result) {
  if (!result) return reasoner_error_to_py(std::move(result.error()));
  return to_py_with_incomplete(PyBool_FromLong(result->answer ? 1 : 0), result->incomplete);
}

}  // namespace

PyObject* impl_class_expression_satisfiable(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"path"}, {"ce"}}};
  auto call = bind_expression_call("class_expression_satisfiable", kSpecs, args, nargs, kwnames);
  if (!call) return nullptr;
  return answer_to_py(reasoner::class_expression_satisfiable(call->loaded, call->expressions[0]));
}

PyObject* impl_class_expression_entailed_subclass(PyObject*, PyObject* const* args, Py_ssize_t nargs,
                                                  PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 3> kSpecs = {{{"path"}, {"sub_ce"}, {"sup_ce"}}};
  auto call = bind_expression_call("class_expression_entailed_subclass", kSpecs, args, nargs, kwnames);
  if (!call) return nullptr;
  return answer_to_py(
      reasoner::class_expression_entailed_subclass(call->loaded, call->expressions[0], call->expressions[1]));
}

PyObject* impl_class_expression_instances(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"path"}, {"ce"}}};
  auto call = bind_expression_call("class_expression_instances", kSpecs, args, nargs, kwnames);
  if (!call) return nullptr;
  auto found = reasoner::class_expression_instances(call->loaded, call->expressions[0]);
  call.reset();
  if (!found) return reasoner_error_to_py(std::move(found.error()));
  return to_py_with_incomplete(to_py_str_list(std::move(found->individuals)), found->incomplete);
}

}  // namespace kelmon::py
