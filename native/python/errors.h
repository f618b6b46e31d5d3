// The module's exception classes and the mapping of reasoner errors onto them.
#pragma once

#include <string_view>

#include "common/reasoner_error.h"
#include "python/py.h"

namespace kelmon::py {

// Each class is created once per process, on first use, and reused (borrowed references).
PyObject* kelmon_error_class();
PyObject* parse_error_class();
PyObject* unsupported_axiom_error_class();
PyObject* unknown_class_error_class();
// The binding layer's class for internal failures; derives from BaseException only.
PyObject* internal_failure_class();

// Sets the Python exception that `error` maps to. Always returns nullptr, for `return reasoner_error_to_py(e);`.
PyObject* reasoner_error_to_py(ReasonerError error);

// Raises a ParseError / the internal-failure class with the given message; return nullptr.
PyObject* raise_parse_error(std::string_view message);
PyObject* raise_internal_failure(std::string_view message);

// Issues an IncompleteQueryWarning (UserWarning when the package cannot be
// imported) "kelmon.{name}: {why}". False when the warning was turned into an
// exception, which is then set.
bool warn_incomplete(const char* name, const char* why);

}  // namespace kelmon::py
