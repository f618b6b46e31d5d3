// Loading a document for a Python call: failures are raised as ParseError.
#pragma once

#include <optional>
#include <string>

#include "owl/class_expression_parser.h"
#include "owl/load.h"
#include "python/py.h"

namespace kelmon::py {

// Binds the one argument `path` of `function` and loads the document; nullopt
// with the exception set.
std::optional<owl::LoadedOntology> bind_path_and_load(const char* function, PyObject* const* args, Py_ssize_t nargs,
                                                      PyObject* kwnames);

// nullopt with ParseError set on failure.
std::optional<owl::LoadedOntology> load_or_raise(const std::string& path);
std::optional<owl::LoadedOntology> load_with_prefixes_or_raise(const std::string& path);
std::optional<owl::LoadedOntology> parse_bytes_or_raise(std::string_view data, std::string_view format);

// One Manchester class expression argument, names resolved through the
// document's prefixes; nullopt with ValueError "class expression: {}" set.
std::optional<owl::ClassExpression> parse_class_expression_arg(std::string_view text,
                                                               const owl::LoadedOntology& loaded,
                                                               const owl::BuildContext& context);

}  // namespace kelmon::py
