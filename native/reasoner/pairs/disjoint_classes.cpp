// Entailed disjoint named classes.
#include <chrono>
#include <string_view>
#include <utility>
#include <vector>

#include <tsl/robin_set.h>

#include "owl/vocabulary.h"
#include "reasoner/classify/disjointness.h"
#include "reasoner/pairs/internal/pair_setup.h"
#include "reasoner/pairs/pair_services.h"

namespace kelmon::reasoner {

Result<PairAnswer> disjoint_classes(const owl::LoadedOntology& loaded) {
  auto gated = convert_and_gate(loaded);
  if (!gated) return std::unexpected(std::move(gated.error()));
  auto classified = classify_for_disjointness(gated->ir, Timeout(std::chrono::seconds(1)));
  if (!classified) return std::unexpected(std::move(classified.error()));
  const Classification& classification = *classified;
  // Every pair of classes is disjoint in an inconsistent ontology; there is no answer to give.
  if (classification.stats_ref().inconsistent != 0) return std::unexpected(Inconsistent{});
  const std::vector<std::string_view> unsat_list = classification.unsatisfiable();
  const tsl::robin_set<std::string_view> unsat(unsat_list.begin(), unsat_list.end());

  PairAnswer answer;
  answer.incomplete = classification.stats_ref().timed_out_pairs != 0 || classification.stats_ref().fragment_kind != 0;
  auto prepared_or = prepare_for_pair_tests(std::move(gated->ir));
  if (!prepared_or) return std::unexpected(std::move(prepared_or.error()));
  const PreparedReasoner& prepared = **prepared_or;

  std::vector<std::pair<ClassId, std::string_view>> candidates;
  for (const std::string& iri : classification.classes()) {
    if (iri == owl::vocab::kOwlThing || iri == owl::vocab::kOwlNothing || unsat.contains(iri)) continue;
    if (auto entry = prepared.vocabulary.classes.get(iri)) candidates.emplace_back(entry->id, iri);
  }
  auto decided = decide_pairs(
      candidates, [&](ClassId a, ClassId b) { return prepared.told.are_disjoint(a, b); },
      [&](ClassId a, ClassId b, Deadline deadline) { return prepared.classes_disjoint(a, b, deadline); }, answer);
  if (!decided) return std::unexpected(std::move(decided.error()));
  return answer;
}

}  // namespace kelmon::reasoner
