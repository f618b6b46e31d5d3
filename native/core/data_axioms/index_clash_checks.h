// Told contradictions among the data facts of the index. Each check appends
// SubClassOf(top, bottom) at the first contradiction it finds, and nothing else.
#pragma once

#include <vector>

#include "common/ids.h"
#include "core/axiom.h"
#include "core/data_axioms/data_axiom_index.h"

namespace kelmon {

// An asserted literal's datatype family differs from a family of a range of the
// property or of one of its told super-properties.
void check_range_families(const DataAxiomIndex& index, ConceptId top, ConceptId bottom, std::vector<Axiom>& output);
// A simple or xsd:string literal outside a string enumeration range.
void check_range_strings(const DataAxiomIndex& index, ConceptId top, ConceptId bottom, std::vector<Axiom>& output);
// A named individual with more distinct strings of a property (its told
// sub-properties included) than an at-most restriction of a told type allows.
void check_max_string_cardinalities(const DataAxiomIndex& index, ConceptId top, ConceptId bottom,
                                    std::vector<Axiom>& output);
// A named individual with one value for two told-disjoint properties; off when
// KELMON_DATA_PROPERTIES is "0".
void check_disjoint_property_values(const DataAxiomIndex& index, ConceptId top, ConceptId bottom,
                                    std::vector<Axiom>& output);

}  // namespace kelmon
