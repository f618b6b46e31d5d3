#include "reasoner/properties/told_disjoint.h"

#include <algorithm>

#include "reasoner/properties/consistency_gate.h"

namespace kelmon::reasoner {

PropertyPairs told_disjoint_pairs(const std::vector<std::string_view>& members) {
  PropertyPairs pairs;
  for (size_t i = 0; i < members.size(); ++i) {
    for (size_t j = i + 1; j < members.size(); ++j) {
      const auto [low, high] = std::minmax(members[i], members[j]);
      pairs.emplace_back(std::string(low), std::string(high));
    }
  }
  return pairs;
}

namespace {

// Gate, then the pairs of every axiom of kind Axiom, sorted and deduplicated.
template <class Axiom, class Members>
Result<PropertyPairs> told_pairs_of(const owl::LoadedOntology& loaded, Members members_of) {
  if (auto gate = consistency_gate(loaded); !gate) return std::unexpected(std::move(gate.error()));
  PropertyPairs pairs;
  std::vector<std::string_view> members;
  for (const auto& annotated : loaded.axioms) {
    const auto* axiom = std::get_if<Axiom>(&annotated.axiom);
    if (axiom == nullptr) continue;
    members.clear();
    members_of(*axiom, members);
    auto found = told_disjoint_pairs(members);
    pairs.insert(pairs.end(), std::make_move_iterator(found.begin()), std::make_move_iterator(found.end()));
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  return pairs;
}

}  // namespace

Result<PropertyPairs> disjoint_object_properties(const owl::LoadedOntology& loaded) {
  return told_pairs_of<owl::DisjointObjectProperties>(
      loaded, [](const owl::DisjointObjectProperties& axiom, std::vector<std::string_view>& out) {
        for (const auto& member : axiom.members) {
          if (const auto* named = std::get_if<owl::ObjectProperty>(&member)) out.push_back(named->iri.str());
        }
      });
}

Result<PropertyPairs> disjoint_data_properties(const owl::LoadedOntology& loaded) {
  return told_pairs_of<owl::DisjointDataProperties>(
      loaded, [](const owl::DisjointDataProperties& axiom, std::vector<std::string_view>& out) {
        for (const auto& member : axiom.members) out.push_back(member.iri.str());
      });
}

}  // namespace kelmon::reasoner
