// Repairs: sets of logical axioms whose removal stops the entailment. The
// minimal hitting sets of the query's justifications, smallest first, each
// confirmed by the oracle against all logical axioms.
#pragma once

#include <cstdint>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/model.h"
#include "reasoner/explanation/oracle.h"
#include "reasoner/explanation/prepared_ontology.h"
#include "reasoner/explanation/query.h"

namespace kelmon::explain {

// How many justifications the hitting sets are computed from.
inline constexpr std::uint64_t kRepairJustificationCap = 100;

struct RepairResult {
  std::vector<std::vector<owl::Axiom>> repairs;  // each in ascending axiom order
  std::uint64_t rejected = 0;                    // hitting sets that left the query entailed
};

Result<RepairResult> find_repairs(EntailmentOracle& oracle, const PreparedOntology& prepared,
                                  const JustifyQuery& query, std::uint64_t max);

// Fewer axioms first; equal sizes by their axioms in ascending axiom order,
// position by position.
bool repair_order(const std::vector<owl::Axiom>& a, const std::vector<owl::Axiom>& b);

}  // namespace kelmon::explain
