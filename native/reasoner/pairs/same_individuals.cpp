// Entailed same-individual groups.
#include <utility>
#include <variant>

#include "reasoner/kernel/union_find.h"
#include "reasoner/pairs/internal/pair_setup.h"
#include "reasoner/pairs/named_individuals.h"
#include "reasoner/pairs/pair_services.h"

namespace kelmon::reasoner {

Result<GroupAnswer> same_individuals(const owl::LoadedOntology& loaded) {
  auto gated = convert_and_gate(loaded);
  if (!gated) return std::unexpected(std::move(gated.error()));
  // Anonymous individuals take part too: they can link two named ones.
  UnionFind forest(gated->ir.vocabulary.individuals.size());
  for (const Axiom& axiom : gated->ir.axioms) {
    const auto* same = std::get_if<SameIndividual>(&axiom);
    if (same == nullptr) continue;
    for (std::size_t k = 0; k + 1 < same->individuals.size(); ++k) {
      forest.unite(same->individuals[k].v, same->individuals[k + 1].v);
    }
  }
  for (const auto& [a, b] : gated->saturation.same_pairs) forest.unite(a.v, b.v);

  auto prepared_or = prepare_for_pair_tests(std::move(gated->ir));
  if (!prepared_or) return std::unexpected(std::move(prepared_or.error()));
  const PreparedReasoner& prepared = **prepared_or;
  const std::vector<NamedIndividual> named = named_individuals(prepared.vocabulary);

  GroupAnswer answer;
  for (std::size_t i = 0; i < named.size(); ++i) {
    for (std::size_t j = i + 1; j < named.size(); ++j) {
      const IndividualId a = named[i].first, b = named[j].first;
      if (forest.same(a.v, b.v)) continue;
      const std::pair<IndividualId, IndividualId> different[] = {{a, b}};
      TestAnswer distinct = prepared.tableau_test(different, {}, pair_test_deadline());
      if (!distinct) return std::unexpected(std::move(distinct.error()));
      // Any test leaves the answer bounded by the tests that ran.
      answer.incomplete = true;
      // No model keeps them apart: they are the same.
      if (*distinct == std::optional<bool>(false)) forest.unite(a.v, b.v);
    }
  }

  GroupMap groups;
  for (const auto& [id, iri] : named) groups[forest.find(id.v)].emplace_back(iri);
  answer.groups = same_individual_groups(std::move(groups));
  return answer;
}

}  // namespace kelmon::reasoner
