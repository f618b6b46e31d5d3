// A property hierarchy from closed sub-property pairs: equivalence groups and
// the direct pairs between them.
#pragma once

#include <string>
#include <vector>

#include "reasoner/properties/property_pairs.h"

namespace kelmon::reasoner {

struct PropertyHierarchy {
  // Groups of two or more mutually sub-properties, each sorted, the list sorted.
  std::vector<std::vector<std::string>> groups;
  // Direct (sub, sup) between groups, each named by its smallest IRI; sorted.
  PropertyPairs pairs;
};

// `pairs` must be transitively closed, as both producers give them. Never fails.
PropertyHierarchy classify_properties(PropertyPairs pairs);

}  // namespace kelmon::reasoner
