// is_consistent, is_subclass_of and is_class_satisfiable: load, convert, one
// kernel test, a bool. An answer a bound left undecided still comes back (as
// the documented default) but with an IncompleteQueryWarning; so does an
// answer that axioms dropped by conversion could overturn (consistent, not
// entailed, satisfiable: the dropped axioms might have said otherwise).
#include <array>
#include <string>

#include "python/binding.h"
#include "python/converted_arguments.h"
#include "python/errors.h"
#include "python/implementations.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/subsumption.h"

namespace kelmon::py {

namespace {

// `weak`: the answer that more axioms could overturn.
PyObject* answer_to_py(const char* name, Result<reasoner::KernelAnswer> result, bool dropped, bool weak) {
  if (!result) return reasoner_error_to_py(std::move(result.error()));
  if (!result->decided) {
    if (!warn_incomplete(name, "a bound stopped the test before it decided; the answer is the default")) return nullptr;
  } else if (dropped && result->answer == weak) {
    if (!warn_incomplete(name, "conversion dropped axioms (see dropped_axioms) that the answer does not account for"))
      return nullptr;
  }
  return PyBool_FromLong(result->answer ? 1 : 0);
}

}  // namespace

PyObject* impl_is_consistent(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 1> kSpecs = {{{"path"}}};
  auto in = load_arguments("is_consistent", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  const bool dropped = !in->first.dropped.empty();
  return answer_to_py("is_consistent", reasoner::check_consistency(std::move(in->first)), dropped, true);
}

PyObject* impl_is_subclass_of(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 3> kSpecs = {{{"path"}, {"sub"}, {"sup"}}};
  auto in = load_arguments("is_subclass_of", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  auto& [ir, text] = *in;
  const bool dropped = !ir.dropped.empty();
  return answer_to_py("is_subclass_of", reasoner::entails_subclass(std::move(ir), text[1], text[2]), dropped, false);
}

PyObject* impl_is_class_satisfiable(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  static constexpr std::array<ArgSpec, 2> kSpecs = {{{"path"}, {"class_iri"}}};
  auto in = load_arguments("is_class_satisfiable", kSpecs, args, nargs, kwnames);
  if (!in) return nullptr;
  auto& [ir, text] = *in;
  const bool dropped = !ir.dropped.empty();
  return answer_to_py("is_class_satisfiable", reasoner::is_satisfiable(std::move(ir), text[1]), dropped, true);
}

}  // namespace kelmon::py
