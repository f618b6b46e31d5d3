// Negation normal form of axiom lists (the concept-level operations are
// ConceptPool::nnf and ConceptPool::nnf_not).
#pragma once

#include <vector>

#include "core/axiom.h"
#include "core/concept_pool.h"
#include "core/ontology.h"

namespace kelmon {

// Same length and order as the input, every concept replaced by its NNF
// (interned into the pool). The input list is not changed.
std::vector<Axiom> nnf_axioms(const std::vector<Axiom>& axioms, ConceptPool& pool);
std::vector<Axiom> nnf_axioms(InternalOntology& ontology);

}  // namespace kelmon
