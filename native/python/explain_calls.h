// What the explanation functions and the PreparedOntology methods share:
// reading the query, rendering answers and raising the searches' errors.
#pragma once

#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/model.h"
#include "python/py.h"
#include "reasoner/explanation/query.h"

namespace kelmon::py {

// Parses the already extracted tokens; ValueError with the usage text when malformed.
std::optional<explain::JustifyQuery> parse_query_or_raise(std::span<const std::string> tokens);

// One Manchester rendering per axiom, in order.
std::vector<std::string> render_axioms(const std::vector<owl::Axiom>& axioms);
PyObject* to_py_axiom_lists(const std::vector<std::vector<owl::Axiom>>& lists);

// The exception for an error of a search run by `function`. A query the
// reasoner could not decide is never reported as a bug: the search that gave
// up raises KelmonError saying so.
PyObject* explain_error_to_py(const char* function, ReasonerError error);

}  // namespace kelmon::py
