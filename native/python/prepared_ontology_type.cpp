// The Python class PreparedOntology. Objects are made only by prepare and
// prepare_bytes, never by calling the class. Each object is bound to the
// thread that made it.
#include <array>
#include <atomic>
#include <thread>

#include "common/invariant.h"
#include "python/binding.h"
#include "python/builders.h"
#include "python/call_guard.h"
#include "python/explain_calls.h"
#include "python/module_names.h"
#include "python/once_object.h"
#include "python/prepared_ontology_object.h"
#include "python/types.h"
#include "reasoner/explanation/subset_oracle.h"

namespace kelmon::py {

namespace {

constexpr const char* kSentToAnotherThread =
    "kelmon::explain::PyPreparedOntology is unsendable, but sent to another thread";
constexpr const char* kDroppedOnAnotherThread =
    "kelmon::explain::PyPreparedOntology is unsendable, but is being dropped on another thread";

struct PyPreparedOntology {
  PyObject_HEAD
  explain::PreparedOntology* state;
  std::thread::id owner;
  std::atomic<std::uint32_t> borrows;
};

PyPreparedOntology* as_prepared(PyObject* self) { return reinterpret_cast<PyPreparedOntology*>(self); }

// A shared borrow for the duration of one method call, on the creating thread only.
class Borrow {
 public:
  explicit Borrow(PyObject* self) : self_(as_prepared(self)) {
    invariant(self_->owner == std::this_thread::get_id(), kSentToAnotherThread);
    self_->borrows.fetch_add(1, std::memory_order_acq_rel);
  }
  Borrow(const Borrow&) = delete;
  Borrow& operator=(const Borrow&) = delete;
  ~Borrow() { self_->borrows.fetch_sub(1, std::memory_order_acq_rel); }
  const explain::PreparedOntology& state() const { return *self_->state; }

 private:
  PyPreparedOntology* self_;
};

PyObject* justify(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"query"}}};
  std::array<PyObject*, 1> bound{};
  if (!bind_arguments("justify", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  Borrow b(self);
  auto tokens = to_string_list(bound[0], "query");
  if (!tokens) return nullptr;
  auto query = parse_query_or_raise(*tokens);
  if (!query) return nullptr;
  explain::SubsetOracle oracle(explain::built_kernel());
  auto found = explain::find_justification(oracle, b.state().non_logical, b.state().logical, *query);
  if (!found) return explain_error_to_py("justify", std::move(found.error()));
  if (!*found) return to_py_str_list({});
  return to_py_str_list(render_axioms(**found));
}

PyObject* justify_all(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"query"}, {"max", ArgKind::PositionalOrKeyword, false}}};
  std::array<PyObject*, 2> bound{};
  if (!bind_arguments("justify_all", kSpecs, args, nargs, kwnames, bound)) return nullptr;
  Borrow b(self);
  auto tokens = to_string_list(bound[0], "query");
  if (!tokens) return nullptr;
  std::uint64_t max = 10;
  if (bound[1] != nullptr) {
    auto m = to_u64(bound[1], "max");
    if (!m) return nullptr;
    max = *m;
  }
  auto query = parse_query_or_raise(*tokens);
  if (!query) return nullptr;
  explain::SubsetOracle oracle(explain::built_kernel());
  auto found = b.state().find_all_justifications(oracle, *query, max);
  if (!found) return explain_error_to_py("justify_all", std::move(found.error()));
  std::vector<std::vector<owl::Axiom>> justifications;
  justifications.reserve(found->size());
  for (auto& [j, kind] : *found) justifications.push_back(std::move(j));
  return to_py_axiom_lists(justifications);
}

void dealloc(PyObject* self) {
  auto* obj = as_prepared(self);
  if (obj->owner == std::this_thread::get_id()) {
    delete obj->state;
  } else {
    // The state may still be in use where it belongs; keeping it is the safe side.
    PyErr_SetString(PyExc_RuntimeError, kDroppedOnAnotherThread);
    PyErr_WriteUnraisable(nullptr);  // not self: a reference to a dying object would free it again
  }
  obj->state = nullptr;
  obj->borrows.~atomic();
  obj->owner.~id();
  PyTypeObject* type = Py_TYPE(self);
  auto free_fn = reinterpret_cast<freefunc>(PyType_GetSlot(type, Py_tp_free));
  free_fn(self);
  Py_DECREF(type);
}

#define KELMON_METHOD(fn) reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(guarded<fn>))

PyMethodDef kMethods[] = {
    {"justify", KELMON_METHOD(justify), METH_FASTCALL | METH_KEYWORDS,
     "justify($self, query)\n--\n\nOne minimal justification for a query (CLI-style tokens; see `justify`).\n"
     "Empty list if not entailed."},
    {"justify_all", KELMON_METHOD(justify_all), METH_FASTCALL | METH_KEYWORDS,
     "justify_all($self, query, max=10)\n--\n\nAll minimal justifications (capped by `max`)."},
    {nullptr, nullptr, 0, nullptr},
};

#undef KELMON_METHOD

PyType_Slot kSlots[] = {
    {Py_tp_doc,
     const_cast<char*>("A loaded ontology with the per-ontology justification state precomputed once\n"
                       "(parse + logical-axiom split + fragment classification). Reuse it to justify\n"
                       "many queries without re-doing that full-ontology work each call — a large\n"
                       "win on big ontologies. Unsendable: use it from the thread that created it.")},
    {Py_tp_dealloc, reinterpret_cast<void*>(dealloc)},
    {Py_tp_methods, kMethods},
    {0, nullptr},
};

PyType_Spec kSpec = {
    "kelmon.PreparedOntology",
    static_cast<int>(sizeof(PyPreparedOntology)),
    0,
    Py_TPFLAGS_DEFAULT | Py_TPFLAGS_DISALLOW_INSTANTIATION,
    kSlots,
};

}  // namespace

PyObject* prepared_ontology_type() {
  static OnceObject once;
  return once.get([] { return PyType_FromSpec(&kSpec); }, "Failed to initialize the PreparedOntology type.");
}

int register_prepared_ontology(PyObject* module) {
  return add_module_name(module, "PreparedOntology", prepared_ontology_type());
}

PyObject* create_prepared_ontology_object(explain::PreparedOntology&& state) {
  auto* type = reinterpret_cast<PyTypeObject*>(prepared_ontology_type());
  auto alloc = reinterpret_cast<allocfunc>(PyType_GetSlot(type, Py_tp_alloc));
  PyObject* obj = alloc(type, 0);
  if (obj == nullptr) return nullptr;
  auto* self = as_prepared(obj);
  new (&self->borrows) std::atomic<std::uint32_t>(0);
  new (&self->owner) std::thread::id(std::this_thread::get_id());
  self->state = new explain::PreparedOntology(std::move(state));
  return obj;
}

}  // namespace kelmon::py
