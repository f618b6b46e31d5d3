// The shape of the module functions that take one `path` and answer from one
// reasoning operation over the loaded document.
#pragma once

#include <optional>
#include <utility>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "python/errors.h"
#include "python/loading.h"
#include "python/py.h"

namespace kelmon::py {

template <class T>
using PathProducer = Result<T> (*)(const owl::LoadedOntology&);

// Binds `path`, loads the document, runs the producer and releases the
// document; nullopt with the Python exception set.
template <class T>
std::optional<T> run_on_path(const char* function, PathProducer<T> producer, PyObject* const* args, Py_ssize_t nargs,
                             PyObject* kwnames) {
  auto loaded = bind_path_and_load(function, args, nargs, kwnames);
  if (!loaded) return std::nullopt;
  Result<T> answer = producer(*loaded);
  loaded.reset();
  if (!answer) {
    reasoner_error_to_py(std::move(answer.error()));
    return std::nullopt;
  }
  return std::move(*answer);
}

}  // namespace kelmon::py
