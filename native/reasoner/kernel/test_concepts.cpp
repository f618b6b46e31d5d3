#include "reasoner/kernel/test_concepts.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kelmon::reasoner {

ConceptId conjoin_concepts(ConceptPool& pool, std::span<const ConceptId> operands) {
  std::vector<ConceptId> ids;
  for (ConceptId c : operands) {
    const Concept& concept_value = pool.get(c);
    if (std::holds_alternative<Bottom>(concept_value)) return pool.intern(Bottom{});
    if (std::holds_alternative<Top>(concept_value)) continue;
    if (const auto* a = std::get_if<And>(&concept_value)) ids.insert(ids.end(), a->members.begin(), a->members.end());
    else ids.push_back(c);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  if (ids.empty()) return pool.intern(Top{});
  if (ids.size() == 1) return ids.front();
  return pool.intern(And{std::move(ids)});
}

ConceptId conjoin_concept_pair(ConceptPool& pool, ConceptId first, ConceptId second) {
  const std::array<ConceptId, 2> pair{first, second};
  return conjoin_concepts(pool, pair);
}

}  // namespace kelmon::reasoner
