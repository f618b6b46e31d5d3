// Entailed sub-property pairs between named properties, from the told property
// axioms: sub-property, equivalence, inverse and the closure over them.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/axiom_set.h"
#include "owl/loaded_ontology.h"

namespace kelmon::reasoner {

// (sub IRI, sup IRI), sorted by sub then sup (byte order), without duplicates.
using PropertyPair = std::pair<std::string, std::string>;
using PropertyPairs = std::vector<PropertyPair>;

// Both refuse an ontology whose asserted facts saturate to a clash (Inconsistent),
// then answer from the told axioms alone.
Result<PropertyPairs> inferred_subobjectproperty_pairs(const owl::LoadedOntology& loaded);
Result<PropertyPairs> inferred_subdataproperty_pairs(const owl::LoadedOntology& loaded);

// The closures behind them, without the consistency check. Pairs never name the
// top or bottom property of their kind, never an inverse, never p with itself.
PropertyPairs told_subobjectproperty_closure(const owl::AxiomSet& axioms);
PropertyPairs told_subdataproperty_closure(const owl::AxiomSet& axioms);

}  // namespace kelmon::reasoner
