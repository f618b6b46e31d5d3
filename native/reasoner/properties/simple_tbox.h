// Whether a converted ontology is simple enough that the property values of
// its named individuals come from ABox saturation alone: told facts closed
// over the role axioms, with no anonymous object that could carry an edge back
// into the named individuals.
#pragma once

#include "core/ir.h"

namespace kelmon::reasoner {

// ⊤, ⊥, a class, a conjunction of simple concepts, ∃r.A over a named role, or
// ∃R.{a} over any role.
bool simple_concept(const ConceptPool& pool, ConceptId concept_id);

// Every axiom has a simple shape (an ontology without axioms is simple), and no
// transitive role or role chain can compose an existential on a class with
// further edges.
bool simple_tbox(const InternalOntology& ir);

}  // namespace kelmon::reasoner
