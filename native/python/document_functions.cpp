// The two functions that report on the document itself: render_manchester and dropped_axioms.
#include <array>

#include "core/convert/convert.h"
#include "owl/manchester_writer.h"
#include "python/binding.h"
#include "python/builders.h"
#include "python/implementations.h"
#include "python/loading.h"
#include "python/pyref.h"

namespace kelmon::py {

namespace {

constexpr std::array<ArgSpec, 1> kPathOnly = {{{"path"}}};

std::optional<std::string> path_argument(const char* function, PyObject* const* args, Py_ssize_t nargs,
                                         PyObject* kwnames) {
  std::array<PyObject*, 1> bound{};
  if (!bind_arguments(function, kPathOnly, args, nargs, kwnames, bound)) return std::nullopt;
  return to_string(bound[0], "path");
}

bool rendered(const owl::Axiom& axiom) {
  return !owl::is_ontology_level(axiom) && !owl::is_declaration(axiom) &&
         owl::kind_of(axiom) != owl::AxiomKind::AnnotationAssertion;
}

}  // namespace

PyObject* impl_render_manchester(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto path = path_argument("render_manchester", args, nargs, kwnames);
  if (!path) return nullptr;
  auto loaded = load_or_raise(*path);
  if (!loaded) return nullptr;
  std::vector<std::string> lines;
  for (const auto& annotated : loaded->axioms) {
    if (rendered(annotated.axiom)) lines.push_back(owl::render_manchester_axiom(annotated));
  }
  loaded.reset();
  return to_py_str_list(std::move(lines));
}

PyObject* impl_dropped_axioms(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  auto path = path_argument("dropped_axioms", args, nargs, kwnames);
  if (!path) return nullptr;
  auto loaded = load_or_raise(*path);
  if (!loaded) return nullptr;
  std::map<std::string, std::uint64_t> dropped = convert_ontology(loaded->axioms).dropped;
  loaded.reset();
  PyRef dict(PyDict_New());
  if (!dict) return nullptr;
  for (const auto& [text, count] : dropped) {
    PyRef value(PyLong_FromUnsignedLongLong(count));
    if (!value) return nullptr;
    if (PyDict_SetItemString(dict.get(), text.c_str(), value.get()) < 0) return nullptr;
  }
  return dict.release();
}

}  // namespace kelmon::py
