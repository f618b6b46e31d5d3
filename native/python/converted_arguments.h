// The common opening of the functions that reason over one document: bind the
// string parameters, load the document named by the first and convert it.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

#include "core/convert/convert.h"
#include "python/binding.h"
#include "python/loading.h"

namespace kelmon::py {

// nullopt with the Python exception set. Every argument is bound and checked
// before the document is read, so argument errors come before ParseError.
template <std::size_t N>
std::optional<std::pair<InternalOntology, std::array<std::string, N>>> load_arguments(
    const char* function, const std::array<ArgSpec, N>& specs, PyObject* const* args, Py_ssize_t nargs,
    PyObject* kwnames) {
  auto text = bind_strings(function, specs, args, nargs, kwnames);
  if (!text) return std::nullopt;
  auto loaded = load_or_raise((*text)[0]);
  if (!loaded) return std::nullopt;
  InternalOntology ir = convert_ontology(loaded->axioms);
  loaded.reset();
  return std::pair{std::move(ir), std::move(*text)};
}

}  // namespace kelmon::py
