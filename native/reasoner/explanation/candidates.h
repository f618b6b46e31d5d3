// The logical axioms a justification search may draw on: the ⊥-locality
// module of the query's names when it entails the query, else all of them.
#pragma once

#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/model.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

// The sorted candidates, or none when even all logical axioms do not entail
// the query. `background` is the search's background (non-logical axioms and
// the query's declarations).
Result<std::optional<std::vector<owl::Axiom>>> justification_candidates(EntailmentOracle& oracle,
                                                                        const std::vector<owl::Axiom>& background,
                                                                        const std::vector<owl::Axiom>& logical,
                                                                        const JustifyQuery& query);

}  // namespace kelmon::explain
