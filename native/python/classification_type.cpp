// The Python class Classification. Objects are made only by classify and
// classify_bytes, never by calling the class.
#include "python/classification_type.h"

#include <array>
#include <atomic>

#include "python/binding.h"
#include "python/builders.h"
#include "python/call_guard.h"
#include "python/once_object.h"
#include "python/pyref.h"
#include "python/types.h"

namespace kelmon::py {

namespace {

struct PyClassification {
  PyObject_HEAD
  reasoner::Classification* record;
  std::atomic<std::uint32_t> borrows;
};

// A shared borrow for the duration of one getter or method call.
class Borrow {
 public:
  explicit Borrow(PyObject* self) : self_(reinterpret_cast<PyClassification*>(self)) {
    self_->borrows.fetch_add(1, std::memory_order_acq_rel);
  }
  ~Borrow() { self_->borrows.fetch_sub(1, std::memory_order_acq_rel); }
  const reasoner::Classification& record() const { return *self_->record; }

 private:
  PyClassification* self_;
};

std::vector<std::string> strings_of(const std::vector<std::string_view>& views) {
  return {views.begin(), views.end()};
}

PyObject* get_classes(PyObject* self, void*) {
  return guard_call([&] {
    Borrow b(self);
    return to_py_str_list(std::vector<std::string>(b.record().classes()));
  });
}

PyObject* get_unsatisfiable(PyObject* self, void*) {
  return guard_call([&] {
    Borrow b(self);
    return to_py_str_list(strings_of(b.record().unsatisfiable()));
  });
}

PyObject* get_inconsistent(PyObject* self, void*) {
  return guard_call([&] {
    Borrow b(self);
    return PyBool_FromLong(b.record().stats_ref().inconsistent != 0);
  });
}

PyObject* get_timed_out_pairs(PyObject* self, void*) {
  return guard_call([&] {
    Borrow b(self);
    return PyLong_FromUnsignedLongLong(b.record().stats_ref().timed_out_pairs);
  });
}

PyObject* get_complete(PyObject* self, void*) {
  return guard_call([&] {
    Borrow b(self);
    return PyBool_FromLong(b.record().complete());
  });
}

PyObject* is_subclass(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"sub"}, {"sup"}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("is_subclass", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto sub = to_string(bound[0], "sub");
  if (!sub) return nullptr;
  auto sup = to_string(bound[1], "sup");
  if (!sup) return nullptr;
  Borrow b(self);
  return PyBool_FromLong(b.record().is_subclass(*sub, *sup));
}

template <std::vector<std::string_view> (reasoner::Classification::*Query)(std::string_view) const>
PyObject* class_query(const char* name, PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"cls"}}};
  std::array<PyObject*, 1> bound{};
  if (!bind_arguments(name, kSpecs, args, nargs, kwnames, bound)) return nullptr;
  auto cls = to_string(bound[0], "cls");
  if (!cls) return nullptr;
  Borrow b(self);
  return to_py_str_list(strings_of((b.record().*Query)(*cls)));
}

PyObject* equivalent_classes(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return class_query<&reasoner::Classification::equivalent_classes>("equivalent_classes", self, args, nargs, kwnames);
}

PyObject* direct_subsumers(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  return class_query<&reasoner::Classification::direct_subsumers>("direct_subsumers", self, args, nargs, kwnames);
}

PyObject* repr(PyObject* self) {
  return guard_call([&]() -> PyObject* {
    Borrow b(self);
    const auto& r = b.record();
    std::string text = "Classification(classes=" + std::to_string(r.classes().size()) +
                       ", unsatisfiable=" + std::to_string(r.unsatisfiable().size()) +
                       ", inconsistent=" + (r.stats_ref().inconsistent ? "true" : "false") + ")";
    return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
  });
}

void dealloc(PyObject* self) {
  auto* obj = reinterpret_cast<PyClassification*>(self);
  delete obj->record;
  obj->record = nullptr;
  obj->borrows.~atomic();
  PyTypeObject* type = Py_TYPE(self);
  auto free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_fn(self);
  Py_DECREF(type);
}

PyGetSetDef kGetSet[] = {
    {"classes", get_classes, nullptr, "All declared class IRIs in the ontology, insertion order.", nullptr},
    {"unsatisfiable", get_unsatisfiable, nullptr, "IRIs proved unsatisfiable (\u2291 \u22a5). Sorted ascending.",
     nullptr},
    {"inconsistent", get_inconsistent, nullptr,
     "True iff the whole ontology was flagged inconsistent.\n(Set by the Phase-A1 `ABox` consistency check.)", nullptr},
    {"timed_out_pairs", get_timed_out_pairs, nullptr,
     "Number of class pairs that exceeded the per-pair timeout and\nwere recorded as \"not subsumed\". `> 0` means the "
     "classification\nis a sound under-approximation \u2014 no false subsumptions, but real\nones may be missing. `0` "
     "when classification ran to completion\n(or no timeout was set).",
     nullptr},
    {"complete", get_complete, nullptr,
     "True iff classification ran to completion \u2014 no pair hit the\ntimeout. When `False`, the hierarchy may be "
     "missing real\nsubsumptions (see `timed_out_pairs`); re-classify with\n`per_pair_timeout_ms=0, "
     "global_deadline_ms=0` for the complete\n(unbounded) result. Also `False` for a `saturation_only=True`\n"
     "answer on an ontology outside the fragment where saturation is\ncomplete (unions, negations, ...).",
     nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

#define KELMON_METHOD(fn) reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<fn>))

PyMethodDef kMethods[] = {
    {"is_subclass", KELMON_METHOD(is_subclass), METH_FASTCALL | METH_KEYWORDS,
     "is_subclass($self, sub, sup)\n--\n\nTrue iff `sub \u2291 sup` is entailed."},
    {"equivalent_classes", KELMON_METHOD(equivalent_classes), METH_FASTCALL | METH_KEYWORDS,
     "equivalent_classes($self, cls)\n--\n\nAll classes equivalent to `cls` (including `cls` itself)."},
    {"direct_subsumers", KELMON_METHOD(direct_subsumers), METH_FASTCALL | METH_KEYWORDS,
     "direct_subsumers($self, cls)\n--\n\nThe Hasse-direct super-classes of `cls`. (Direct, not transitive.)"},
    {nullptr, nullptr, 0, nullptr},
};

#undef KELMON_METHOD

PyType_Slot kSlots[] = {
    {Py_tp_doc, const_cast<char*>("Wraps a classification result for use from Python.")},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc)},
    {Py_tp_repr, reinterpret_cast<void*>(repr)},
    {Py_tp_getset, kGetSet},
    {Py_tp_methods, kMethods},
    {0, nullptr},
};

PyType_Spec kSpec = {
    "kelmon.Classification",
    static_cast<int>(sizeof(PyClassification)),
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION,
    kSlots,
};

}  // namespace

PyObject* classification_type() {
  static OnceObject once;
  return once.get([] { return PyType_FromSpec(&kSpec); }, "Failed to initialize the Classification type.");
}

PyObject* wrap_classification(reasoner::Classification&& record) {
  auto* type = reinterpret_cast<PyTypeObject*>(classification_type());
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* obj = alloc(type, 0);
  if (obj == nullptr) return nullptr;
  auto* self = reinterpret_cast<PyClassification*>(obj);
  new (&self->borrows) std::atomic<std::uint32_t>(0);
  self->record = new reasoner::Classification(std::move(record));
  return obj;
}

}  // namespace kelmon::py
