// Told checks of asserted literals, read straight from the axiom set. Each
// appends SubClassOf(top, bottom) at the first contradiction and stops;
// literals and ranges they cannot read are never reported.
#pragma once

#include <vector>

#include "common/ids.h"
#include "core/axiom.h"
#include "owl/axiom_set.h"

namespace kelmon {

// A literal outside an integer, double, decimal, date, dateTime or string
// enumeration range of its property or of one of its told super-properties.
void check_asserted_literal_ranges(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                                   std::vector<Axiom>& output);
// A named individual with two distinct values of a functional property, its
// told sub-properties included.
void check_functional_values(const owl::AxiomSet& axioms, ConceptId top, ConceptId bottom,
                             std::vector<Axiom>& output);

}  // namespace kelmon
