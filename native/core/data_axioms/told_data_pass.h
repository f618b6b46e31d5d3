// The told data pass: class-level consequences and contradictions drawn from
// the data axioms of a loaded ontology before any reasoner runs.
#pragma once

#include <vector>

#include "common/ids.h"
#include "core/axiom.h"
#include "core/ontology.h"
#include "owl/axiom_set.h"

namespace kelmon {

// Returns SubClassOf axioms of three shapes: Atomic A ⊑ Bottom (A's told data
// restrictions cannot be met), Atomic X ⊑ Atomic Y (X's required data value
// implies Y) and top ⊑ bottom (the told data facts contradict each other).
// Only classes of the ontology's vocabulary are named; their Atomic concepts
// are interned into its pool. `top` and `bottom` are the pool's Top and Bottom.
// Which axioms come back does not depend on the set's iteration order; their
// order in the list (and so the interning order) may.
std::vector<Axiom> derive_told_data_axioms(const owl::AxiomSet& axioms, InternalOntology& ontology, ConceptId top,
                                           ConceptId bottom);

}  // namespace kelmon
