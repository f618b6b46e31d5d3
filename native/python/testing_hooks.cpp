#include "python/testing_hooks.h"

#include <array>
#include <string>

#include "common/invariant.h"
#include "owl/reader_fault.h"
#include "python/binding.h"
#include "python/builders.h"
#include "python/call_guard.h"
#include "python/pyref.h"
#include "reasoner/kernel/big_stack_thread.h"
#include "reasoner/kernel/parallel_loop.h"

namespace kelmon::py {

namespace {

// _fail_invariant(message, on="caller"): throws the internal invariant failure
// inside a call, on the calling thread, on a pool worker ("worker") or on a
// thread of its own ("thread").
PyObject* fail_invariant(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"message"}, {"on", ArgKind::PositionalOrKeyword, false}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("_fail_invariant", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto message = to_string(bound[0], "message");
  if (!message) return nullptr;
  std::string on = "caller";
  if (bound[1] != nullptr) {
    auto o = to_string(bound[1], "on");
    if (!o) return nullptr;
    on = std::move(*o);
  }
  if (on == "worker") {
    reasoner::StopFlag stop;
    reasoner::parallel_items(64, stop, [&](std::size_t i) {
      if (i == 63) invariant_failure(*message);
      return true;
    });
  } else if (on == "thread") {
    reasoner::run_with_stack(std::size_t{1} << 20, "spawn test thread", [&] { invariant_failure(*message); });
  } else if (on != "caller") {
    PyErr_Format(PyExc_ValueError, "unknown place: %s", on.c_str());
    return nullptr;
  }
  invariant_failure(*message);
}

// _call_with_reader_fault(fn): calls fn() while the next axiom or statement a
// reader takes on this thread breaks an invariant.
PyObject* call_with_reader_fault(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"fn"}}};
  std::array<PyObject*, 1> bound{};
  if (!bind_arguments("_call_with_reader_fault", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  owl::ReaderFault fault;
  return PyObject_CallNoArgs(bound[0]);
}

// _raise_reasoner_error(variant, detail=""): raises what reasoner_error_to_py makes of that variant.
PyObject* raise_reasoner_error(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"variant"}, {"detail", ArgKind::PositionalOrKeyword, false}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("_raise_reasoner_error", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto variant = to_string(bound[0], "variant");
  if (!variant) return nullptr;
  std::string detail;
  if (bound[1] != nullptr) {
    auto d = to_string(bound[1], "detail");
    if (!d) return nullptr;
    detail = std::move(*d);
  }
  ReasonerError error;
  if (*variant == "UnsupportedConcept") error = Unsupported(UnsupportedConcept{detail});
  else if (*variant == "UnsupportedAxiom") error = Unsupported(UnsupportedAxiom{detail});
  else if (*variant == "AnonymousIndividual") error = Unsupported(AnonymousIndividual{});
  else if (*variant == "UnsupportedDataRange") error = Unsupported(UnsupportedDataRange{});
  else if (*variant == "UnknownClass") error = UnknownClass{detail};
  else if (*variant == "UnknownIndividual") error = UnknownIndividual{detail};
  else if (*variant == "NoVerdict") error = NoVerdict{};
  else if (*variant == "RoleChainTooLong") error = RoleChainTooLong{};
  else if (*variant == "Inconsistent") error = Inconsistent{};
  else {
    PyErr_Format(PyExc_ValueError, "unknown variant: %s", variant->c_str());
    return nullptr;
  }
  return reasoner_error_to_py(std::move(error));
}

// _build(kind, items): runs one result builder on a flat list of str, grouped as the builder needs.
PyObject* build(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"kind"}, {"items"}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("_build", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto kind = to_string(bound[0], "kind");
  if (!kind) return nullptr;
  auto items = to_string_list(bound[1], "items");
  if (!items) return nullptr;
  auto grouped = [&](size_t n) {
    invariant(items->size() % n == 0, "_build: items do not divide into groups");
  };
  if (*kind == "str_list") return to_py_str_list(std::vector<std::string>(*items));
  if (*kind == "pair_list") {
    grouped(2);
    std::vector<StrPair> pairs;
    for (size_t i = 0; i < items->size(); i += 2) pairs.emplace_back((*items)[i], (*items)[i + 1]);
    return to_py_pair_list(std::move(pairs));
  }
  if (*kind == "triple_list") {
    grouped(3);
    std::vector<StrTriple> triples;
    for (size_t i = 0; i < items->size(); i += 3) triples.push_back({(*items)[i], (*items)[i + 1], (*items)[i + 2]});
    return to_py_triple_list(std::move(triples));
  }
  if (*kind == "data_value_list") {
    grouped(5);
    std::vector<DataValue> values;
    for (size_t i = 0; i < items->size(); i += 5)
      values.push_back({(*items)[i], (*items)[i + 1], (*items)[i + 2], (*items)[i + 3], (*items)[i + 4]});
    return to_py_data_value_list(std::move(values));
  }
  if (*kind == "successor") {
    invariant(items->size() == 4, "_build: successor takes four strings");
    return to_py_successor_tuple({(*items)[0], (*items)[1], (*items)[2], (*items)[3]});
  }
  if (*kind == "str_list_list") {
    // groups separated by the item "|"
    std::vector<std::vector<std::string>> groups(1);
    for (auto& s : *items) {
      if (s == "|") groups.emplace_back();
      else groups.back().push_back(s);
    }
    if (items->empty()) groups.clear();
    return to_py_str_list_list(std::move(groups));
  }
  if (*kind == "hierarchy") {
    // groups until "||", then pairs
    std::vector<std::vector<std::string>> groups;
    std::vector<StrPair> edges;
    size_t i = 0;
    for (; i < items->size() && (*items)[i] != "||"; ++i) {
      if ((*items)[i] == "|" || groups.empty()) groups.emplace_back();
      if ((*items)[i] != "|") groups.back().push_back((*items)[i]);
    }
    for (++i; i + 1 < items->size(); i += 2) edges.emplace_back((*items)[i], (*items)[i + 1]);
    return to_py_hierarchy(std::move(groups), std::move(edges));
  }
  if (*kind == "derived_entry") {
    invariant(!items->empty(), "_build: derived_entry needs a class");
    std::vector<std::string> rest(items->begin() + 1, items->end());
    return to_py_derived_entry(std::string((*items)[0]), std::move(rest));
  }
  PyErr_Format(PyExc_ValueError, "unknown builder: %s", kind->c_str());
  return nullptr;
}

// _bind_probe(path, names, *, count=10, flag=False, data=b"", limit=None): binds and converts
// every argument kind and returns the converted values as a tuple.
PyObject* bind_probe(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 6> kSpecs = {{{"path"},
                                                     {"names"},
                                                     {"count", ArgKind::KeywordOnly, false},
                                                     {"flag", ArgKind::KeywordOnly, false},
                                                     {"data", ArgKind::KeywordOnly, false},
                                                     {"limit", ArgKind::KeywordOnly, false}}};
  std::array<PyObject*, 6> bound{};
  if (!bind_arguments("_bind_probe", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto path = to_string(bound[0], "path");
  if (!path) return nullptr;
  auto names = to_string_list(bound[1], "names");
  if (!names) return nullptr;
  std::uint64_t count = 10;
  if (bound[2] != nullptr) {
    auto c = to_u64(bound[2], "count");
    if (!c) return nullptr;
    count = *c;
  }
  bool flag = false;
  if (bound[3] != nullptr) {
    auto f = to_bool(bound[3], "flag");
    if (!f) return nullptr;
    flag = *f;
  }
  std::string data;
  if (bound[4] != nullptr) {
    auto d = to_bytes(bound[4], "data");
    if (!d) return nullptr;
    data.assign(*d);
  }
  std::optional<std::uint64_t> limit;
  if (bound[5] != nullptr) {
    auto l = to_optional_u64(bound[5], "limit");
    if (!l) return nullptr;
    limit = *l;
  }
  PyRef py_names(to_py_str_list(std::move(*names)));
  PyRef py_data(PyBytes_FromStringAndSize(data.data(), static_cast<Py_ssize_t>(data.size())));
  if (!py_data) return nullptr;
  PyObject* py_limit = limit ? PyLong_FromUnsignedLongLong(*limit) : (Py_INCREF(Py_None), Py_None);
  return Py_BuildValue("(NNKNNN)", to_py_str(std::move(*path)), py_names.release(),
                       static_cast<unsigned long long>(count), PyBool_FromLong(flag ? 1 : 0), py_data.release(),
                       py_limit);
}

PyMethodDef kHooks[] = {
    {"_bind_probe", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<bind_probe>)),
     METH_FASTCALL | METH_KEYWORDS,
     "_bind_probe(path, names, *, count=10, flag=False, data=b'', limit=None)\n--\n\nBind and convert every "
     "argument kind (tests only)."},
    {"_fail_invariant", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<fail_invariant>)),
     METH_FASTCALL | METH_KEYWORDS,
     "_fail_invariant(message, on='caller')\n--\n\nRaise an internal invariant failure on the caller, a pool "
     "worker or a thread of its own (tests only)."},
    {"_call_with_reader_fault",
     reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<call_with_reader_fault>)),
     METH_FASTCALL | METH_KEYWORDS,
     "_call_with_reader_fault(fn)\n--\n\nCall fn() with a broken invariant in the next reader step (tests only)."},
    {"_raise_reasoner_error",
     reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<raise_reasoner_error>)),
     METH_FASTCALL | METH_KEYWORDS,
     "_raise_reasoner_error(variant, detail='')\n--\n\nRaise the exception a reasoner error maps to (tests only)."},
    {"_build", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<build>)),
     METH_FASTCALL | METH_KEYWORDS, "_build(kind, items)\n--\n\nRun one result builder (tests only)."},
    {nullptr, nullptr, 0, nullptr},
};

}  // namespace

int add_testing_hooks(PyObject* module, PyObject* module_name) {
  for (PyMethodDef* def = kHooks; def->ml_name != nullptr; ++def) {
    PyRef function(PyCFunction_NewEx(def, module, module_name));
    if (!function || PyObject_SetAttrString(module, def->ml_name, function.get()) < 0) return -1;
  }
  return 0;
}

}  // namespace kelmon::py
