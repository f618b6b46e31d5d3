// The steps every pair service takes before its tests.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/loaded_ontology.h"
#include "reasoner/kernel/abox_saturation.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "reasoner/pairs/pair_services.h"

namespace kelmon::reasoner {

struct GatedOntology {
  InternalOntology ir;
  AboxSaturation saturation;
};

// Converts and saturates the asserted facts; Inconsistent on a clash.
Result<GatedOntology> convert_and_gate(const owl::LoadedOntology& loaded);

// The prepared reasoner without a deadline or an earlier saturation.
Result<std::unique_ptr<PreparedReasoner>> prepare_for_pair_tests(InternalOntology ir);

// Now + 1 s, taken afresh for each test.
Deadline pair_test_deadline();

// Every pair i < j of the candidates, (id, IRI) each: a pair `told(a, b)`
// settles is kept at once; otherwise `test(a, b, deadline)` runs, true keeps
// it and undecided makes the answer incomplete. Kept pairs are (smaller IRI,
// larger IRI), sorted, without duplicates. The first error ends the loop.
template <class Id, class Told, class Test>
Result<void> decide_pairs(const std::vector<std::pair<Id, std::string_view>>& candidates, Told told, Test test,
                          PairAnswer& answer) {
  for (std::size_t i = 0; i < candidates.size(); ++i) {
    for (std::size_t j = i + 1; j < candidates.size(); ++j) {
      const auto& [a, a_iri] = candidates[i];
      const auto& [b, b_iri] = candidates[j];
      if (!told(a, b)) {
        TestAnswer proven = test(a, b, pair_test_deadline());
        if (!proven) return std::unexpected(std::move(proven.error()));
        if (!proven->has_value()) answer.incomplete = true;
        if (*proven != std::optional<bool>(true)) continue;
      }
      const auto [low, high] = std::minmax(a_iri, b_iri);
      answer.pairs.emplace_back(std::string(low), std::string(high));
    }
  }
  std::stable_sort(answer.pairs.begin(), answer.pairs.end());
  answer.pairs.erase(std::unique(answer.pairs.begin(), answer.pairs.end()), answer.pairs.end());
  return {};
}

}  // namespace kelmon::reasoner
