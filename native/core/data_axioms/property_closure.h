// Reflexive-transitive closure of told (sub, super) pairs of IRIs.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kelmon {

using IriPair = std::pair<std::string, std::string>;
using IriSet = std::set<std::string>;
// IRI -> the IRI and every IRI reachable from it over the pairs.
using ClosureSets = std::map<std::string, IriSet>;

// Only IRIs that occur in some pair get an entry; cycles give their members
// equal entries.
ClosureSets property_closure_sets(const std::vector<IriPair>& pairs);

// True when `sub` reaches `super` over the pairs, or is `super` itself.
bool reaches(const ClosureSets& closure, const std::string& sub, const std::string& super);

}  // namespace kelmon
