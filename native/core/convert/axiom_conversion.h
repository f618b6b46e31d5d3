// The main conversion loop's rule for one loaded component: zero, one (or, for a
// disjoint union of owl:Thing or owl:Nothing, two) IR axioms, or the reason it
// cannot be represented.
#pragma once

#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/model.h"

namespace kelmon {

// Appends the IR axioms of `component` to `out` (nothing on failure).
UnsupportedOr<std::vector<Axiom>> convert_component(const owl::Axiom& component, InternalOntology& onto);

// True for the kinds that the data switch gates.
bool is_data_gated(owl::AxiomKind kind);

}  // namespace kelmon
