// Property pairs stated disjoint by the ontology's own disjointness axioms; no
// closure over sub-properties, equivalences or inverses.
#pragma once

#include <string_view>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "reasoner/properties/property_pairs.h"

namespace kelmon::reasoner {

// For every two positions i < j of one axiom's members (i, then j ascending):
// (smaller IRI, larger IRI); a member listed twice gives (p, p).
PropertyPairs told_disjoint_pairs(const std::vector<std::string_view>& members);

// Both refuse an ontology whose asserted facts saturate to a clash (Inconsistent).
// Sorted by first then second IRI, without duplicates. Inverse members of a
// DisjointObjectProperties axiom are left out.
Result<PropertyPairs> disjoint_object_properties(const owl::LoadedOntology& loaded);
Result<PropertyPairs> disjoint_data_properties(const owl::LoadedOntology& loaded);

}  // namespace kelmon::reasoner
