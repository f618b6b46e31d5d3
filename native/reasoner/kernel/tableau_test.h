// One procedure answers every tableau question: a completion graph holding
// every asserted individual plus one node labelled with the test concept,
// searched under the test's time bound. A test only reads the prepared
// reasoner (it copies the concept pool it extends), so any number of tests
// may run at once against one record.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "tableau/completion/tableau.h"

namespace kelmon::reasoner {

// Interns the test concept into the test's own copy of the pool.
using TestConceptBuilder = std::function<ConceptId(ConceptPool&)>;

struct TableauTestRequest {
  TestConceptBuilder test_concept;  // ⊤ when empty
  Deadline deadline;
  std::span<const std::pair<IndividualId, IndividualId>> extra_different;
  std::span<const NegativeRoleAssertion> extra_negative;
  // Anywhere blocking; when none, on exactly for tests without a deadline
  // unless KELMON_ANYWHERE_BLOCKING is "1" or "0".
  std::optional<bool> anywhere_blocking;
};

// The common body: the prepared reasoner's tables with `facts` as the
// asserted facts (its own, or none for TBox-only tests).
TestAnswer run_tableau_test_body(const PreparedReasoner& reasoner, const AboxFacts& facts,
                                 const TableauTestRequest& request);

// Consistency of the knowledge base with the extra facts.
TestAnswer run_tableau_test(const PreparedReasoner& reasoner, const AboxFacts& facts,
                            std::span<const std::pair<IndividualId, IndividualId>> extra_different,
                            std::span<const NegativeRoleAssertion> extra_negative, Deadline deadline);
// A ⊓ B
TestAnswer run_tableau_test_disjoint_classes(const PreparedReasoner& reasoner, const AboxFacts& facts, ClassId a,
                                             ClassId b, Deadline deadline);
// {a} ⊓ {b}
TestAnswer run_tableau_test_different_individuals(const PreparedReasoner& reasoner, const AboxFacts& facts,
                                                  IndividualId a, IndividualId b, Deadline deadline);
// A ⊓ ¬B
TestAnswer run_tableau_test_disjoint_pair(const PreparedReasoner& reasoner, const AboxFacts& facts, ClassId a,
                                          ClassId b, Deadline deadline);
// sub ⊓ ¬sup
TestAnswer run_tableau_test_pair_verify(const PreparedReasoner& reasoner, const AboxFacts& facts, ClassId sub,
                                        ClassId sup, Deadline deadline);
// {a} ⊓ ¬C
TestAnswer run_tableau_test_realize(const PreparedReasoner& reasoner, const AboxFacts& facts, ClassId c,
                                    IndividualId a, Deadline deadline);

// The body of the deep-search thread: a search with branching depth 1,000,000.
completion::SearchOutcome deep_search_thread_main(completion::TableauContext& context);

// KELMON_TABLEAU_EARLY_ABANDON_HITS, 32 when unset or invalid.
std::uint64_t early_abandon_hits();

}  // namespace kelmon::reasoner
