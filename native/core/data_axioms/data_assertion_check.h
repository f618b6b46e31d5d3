// At-most data restrictions of named classes against the asserted values of
// the individuals told to be in them.
#pragma once

#include <vector>

#include "common/ids.h"
#include "core/axiom.h"
#include "owl/axiom_set.h"

namespace kelmon {

// Appends SubClassOf(top, bottom) when a named individual has more distinct
// values of a property (told sub-properties included) inside the range of an
// at-most restriction SubClassOf(A, DataMaxCardinality(n, p, R)) of one of its
// told types than the restriction allows; appends nothing otherwise.
void derive_data_assertion_axioms(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                                  std::vector<Axiom>& output);

}  // namespace kelmon
