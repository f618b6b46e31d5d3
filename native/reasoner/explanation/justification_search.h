// Justifications: sets of logical axioms that, with the non-logical ones,
// entail the query while no proper subset does (minimal with respect to the
// oracle). One by QuickXplain, or up to a cap by a hitting-set tree.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/model.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

using Justification = std::vector<owl::Axiom>;  // in ascending axiom order

// None when the query is not entailed; an empty justification when the
// non-logical axioms alone entail it.
Result<std::optional<Justification>> find_justification(EntailmentOracle& oracle,
                                                        const std::vector<owl::Axiom>& non_logical,
                                                        const std::vector<owl::Axiom>& logical,
                                                        const JustifyQuery& query);

// At most `max` distinct justifications in the order found; empty when the
// query is not entailed.
Result<std::vector<Justification>> find_all_justifications(EntailmentOracle& oracle,
                                                           const std::vector<owl::Axiom>& non_logical,
                                                           const std::vector<owl::Axiom>& logical,
                                                           const JustifyQuery& query, std::uint64_t max);

// One justification drawn from `candidates`, which with `background` must
// entail the query.
Result<Justification> minimise_justification(EntailmentOracle& oracle, const std::vector<owl::Axiom>& background,
                                             const std::vector<owl::Axiom>& candidates, const JustifyQuery& query);

}  // namespace kelmon::explain
