// Clauses that any model can be extended to satisfy, dropped before runs that
// only ask whether a model exists and never read what it holds.
//
// A class N is extendable when no clause body tests it except binary
// disjointness clauses N(x) ∧ C(x) → ⊥, all against one class C that is not
// extendable itself, no at-most atom counts it, and it is neither a nominal
// nor one of the protected classes. Adding N to every node of a model that
// lacks C then breaks no clause, and makes true every clause whose head holds
// N(y) (and C(y), when N has a partner C). Dropping such clauses therefore
// keeps the set satisfiable exactly when it was, and a branch on a
// disjunction like ⊤ → C ∨ ¬C is never taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/clause.h"

namespace kelmon::reasoner {

struct ExtensionPruneScope {
  std::uint32_t first_nominal = 0;
  std::uint32_t nominal_count = 0;
  std::span<const std::uint32_t> protected_classes;  // classes whose labels something else reads
};

// Removes the clauses an extension satisfies, keeping the others in order;
// returns how many went.
std::size_t drop_extension_satisfied_clauses(std::vector<DlClause>& clauses, const ExtensionPruneScope& scope);

}  // namespace kelmon::reasoner
