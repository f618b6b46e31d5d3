#include "python/errors.h"

#include <string>

#include "common/invariant.h"
#include "python/once_object.h"
#include "python/pyref.h"

namespace kelmon::py {

namespace {

PyObject* new_exception(const char* name, const char* doc, PyObject* base) {
  return PyErr_NewExceptionWithDoc(name, doc, base, nullptr);
}

// The Python layer's warning class; UserWarning when the package cannot be imported.
PyObject* incomplete_warning_class(PyRef& holder) {
  PyRef package(PyImport_ImportModule("kelmon"));
  if (package) holder = PyRef(PyObject_GetAttrString(package.get(), "IncompleteQueryWarning"));
  if (!holder) {
    PyErr_Clear();
    return PyExc_UserWarning;
  }
  return holder.get();
}

}  // namespace

bool warn_incomplete(const char* name, const char* why) {
  PyRef holder;
  PyObject* category = incomplete_warning_class(holder);
  const std::string message = std::string("kelmon.") + name + ": " + why;
  return PyErr_WarnEx(category, message.c_str(), 1) == 0;
}

PyObject* kelmon_error_class() {
  static OnceObject once;
  return once.get(
      [] { return new_exception("kelmon.KelmonError", "Base exception for all kelmon errors.", PyExc_Exception); });
}

PyObject* parse_error_class() {
  static OnceObject once;
  PyObject* base = kelmon_error_class();
  return once.get([base] { return new_exception("kelmon.ParseError", "OWL parser failure.", base); });
}

PyObject* unsupported_axiom_error_class() {
  static OnceObject once;
  PyObject* base = kelmon_error_class();
  return once.get([base] {
    return new_exception("kelmon.UnsupportedAxiomError", "Axiom or class expression kelmon can't represent.", base);
  });
}

PyObject* unknown_class_error_class() {
  static OnceObject once;
  PyObject* base = kelmon_error_class();
  return once.get(
      [base] { return new_exception("kelmon.UnknownClassError", "Class IRI not declared in the ontology.", base); });
}

PyObject* internal_failure_class() {
  static OnceObject once;
  return once.get([] {
    return new_exception("kelmon.InternalFailure",
                         "A broken internal invariant of kelmon (a bug; please report it with its message).",
                         PyExc_BaseException);
  });
}

namespace {
PyObject* raise_with(PyObject* cls, std::string_view message) {
  PyObject* text = PyUnicode_FromStringAndSize(message.data(), static_cast<Py_ssize_t>(message.size()));
  if (text == nullptr) return nullptr;
  PyErr_SetObject(cls, text);
  Py_DECREF(text);
  return nullptr;
}
}  // namespace

PyObject* reasoner_error_to_py(ReasonerError error) {
  PyObject* cls = nullptr;
  switch (reasoner_error_class(error)) {
    case ErrorClass::KelmonError:
      cls = kelmon_error_class();
      break;
    case ErrorClass::UnsupportedAxiomError:
      cls = unsupported_axiom_error_class();
      break;
    case ErrorClass::UnknownClassError:
      cls = unknown_class_error_class();
      break;
  }
  return raise_with(cls, reasoner_error_message(error));
}

PyObject* raise_parse_error(std::string_view message) { return raise_with(parse_error_class(), message); }

PyObject* raise_internal_failure(std::string_view message) {
  PyObject* cls = nullptr;
  try {
    cls = internal_failure_class();
  } catch (const InvariantFailure&) {
    cls = PyExc_SystemError;  // the class itself could not be made; still never let C++ escape
  }
  return raise_with(cls, message);
}

}  // namespace kelmon::py
