// Entailed different-individual pairs.
#include <algorithm>
#include <cstdint>
#include <utility>
#include <variant>

#include <tsl/robin_set.h>

#include "reasoner/pairs/internal/pair_setup.h"
#include "reasoner/pairs/named_individuals.h"
#include "reasoner/pairs/pair_services.h"

namespace kelmon::reasoner {

namespace {
std::uint64_t pair_key(IndividualId a, IndividualId b) {
  const auto [low, high] = std::minmax(a.v, b.v);
  return (std::uint64_t{low} << 32) | high;
}
}  // namespace

Result<PairAnswer> different_individuals(const owl::LoadedOntology& loaded) {
  auto gated = convert_and_gate(loaded);
  if (!gated) return std::unexpected(std::move(gated.error()));
  tsl::robin_set<std::uint64_t> told_different;
  for (const Axiom& axiom : gated->ir.axioms) {
    const auto* different = std::get_if<DifferentIndividuals>(&axiom);
    if (different == nullptr) continue;
    const auto& members = different->individuals;
    for (std::size_t i = 0; i < members.size(); ++i) {
      for (std::size_t j = i + 1; j < members.size(); ++j) told_different.insert(pair_key(members[i], members[j]));
    }
  }

  auto prepared_or = prepare_for_pair_tests(std::move(gated->ir));
  if (!prepared_or) return std::unexpected(std::move(prepared_or.error()));
  const PreparedReasoner& prepared = **prepared_or;

  PairAnswer answer;
  auto decided = decide_pairs(
      named_individuals(prepared.vocabulary),
      [&](IndividualId a, IndividualId b) { return told_different.contains(pair_key(a, b)); },
      [&](IndividualId a, IndividualId b, Deadline deadline) { return prepared.individuals_different(a, b, deadline); },
      answer);
  if (!decided) return std::unexpected(std::move(decided.error()));
  return answer;
}

}  // namespace kelmon::reasoner
