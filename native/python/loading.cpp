#include "python/loading.h"

#include <array>
#include <string>

#include "python/binding.h"
#include "python/errors.h"

namespace kelmon::py {

namespace {
std::optional<owl::LoadedOntology> or_raise(owl::LoadResult loaded) {
  if (!loaded) {
    raise_parse_error(loaded.error());
    return std::nullopt;
  }
  return std::move(*loaded);
}
}  // namespace

std::optional<owl::LoadedOntology> bind_path_and_load(const char* function, PyObject* const* args, Py_ssize_t nargs,
                                                      PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"path"}}};
  auto path = bind_strings(function, kSpecs, args, nargs, kwnames);
  if (!path) return std::nullopt;
  return load_or_raise((*path)[0]);
}

std::optional<owl::LoadedOntology> load_or_raise(const std::string& path) { return or_raise(owl::load_ontology(path)); }

std::optional<owl::LoadedOntology> load_with_prefixes_or_raise(const std::string& path) {
  return or_raise(owl::load_ontology_with_prefixes(path));
}

std::optional<owl::LoadedOntology> parse_bytes_or_raise(std::string_view data, std::string_view format) {
  return or_raise(owl::parse_ontology_bytes(data, format));
}

std::optional<owl::ClassExpression> parse_class_expression_arg(std::string_view text,
                                                               const owl::LoadedOntology& loaded,
                                                               const owl::BuildContext& context) {
  auto parsed = owl::parse_class_expression(text, loaded.prefixes, context);
  if (!parsed) {
    const std::string message = "class expression: " + parsed.error().to_string();
    PyErr_SetString(PyExc_ValueError, message.c_str());
    return std::nullopt;
  }
  return std::move(*parsed);
}

}  // namespace kelmon::py
