// The main conversion loop's rule for one loaded component: zero, one (or, for a
// disjoint union of owl:Thing or owl:Nothing, two) IR axioms, or the reason it
// cannot be represented.
#pragma once

#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/model.h"

namespace kelmon {

// At most two IR axioms per component, kept inline: the main loop runs once per
// loaded axiom and should not allocate for the container.
struct ComponentAxioms {
  std::optional<Axiom> first, second;
};

// The IR axioms of `component`, or the reason it cannot be represented.
UnsupportedOr<ComponentAxioms> convert_component(const owl::Axiom& component, InternalOntology& onto);

// True for the kinds that the data switch gates.
bool is_data_gated(owl::AxiomKind kind);

}  // namespace kelmon
