// The test concepts of tableau questions: conjunctions built the way the
// tableau expects them (one level of And flattened, ids sorted and unique).
#pragma once

#include <span>

#include "core/concept_pool.h"

namespace kelmon::reasoner {

// ⊥ when an operand is ⊥; ⊤ operands dropped; an And operand gives its
// members; none left gives ⊤, one gives itself, more their interned And.
ConceptId conjoin_concepts(ConceptPool& pool, std::span<const ConceptId> operands);
ConceptId conjoin_concept_pair(ConceptPool& pool, ConceptId first, ConceptId second);

}  // namespace kelmon::reasoner
