// The saturation's input: flat rule lists and maps over 32-bit saturation ids
// (class ids first, then synthetic ids) and plain role ids.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "saturation/internal/hash.h"

namespace kelmon {
struct InternalOntology;
}

namespace kelmon::sat {

struct ConjunctionRule {
  std::vector<u32> conjuncts;  // sorted, duplicate-free when made by the interner
  u32 result = 0;
};

// sub ⊑ ∃role.filler
struct LinkRule {
  u32 sub = 0;
  u32 role = 0;
  u32 filler = 0;
  friend bool operator==(const LinkRule&, const LinkRule&) = default;
};

// ∃role.filler ⊑ result
struct ExistsLeftRule {
  u32 role = 0;
  u32 filler = 0;
  u32 result = 0;
  friend bool operator==(const ExistsLeftRule&, const ExistsLeftRule&) = default;
};

// r1 ∘ r2 ⊑ s; a transitive role r is (r, r, r).
struct RoleChainRule {
  u32 r1 = 0;
  u32 r2 = 0;
  u32 s = 0;
  friend bool operator==(const RoleChainRule&, const RoleChainRule&) = default;
};

struct RuleBase {
  std::vector<std::pair<u32, u32>> told;
  std::vector<u32> global_subsumers;  // class ids C with ⊤ ⊑ C
  std::vector<ConjunctionRule> conjunction_rules;
  std::vector<std::vector<u32>> bottom_conjunctions;
  std::vector<LinkRule> link_rules;
  std::vector<ExistsLeftRule> exists_left_rules;
  std::vector<std::pair<u32, u32>> disjoint_pairs;
  std::vector<u32> initially_unsat;
  std::vector<RoleChainRule> role_chains;
  std::vector<std::vector<u32>> functional_supers;            // by role
  IdMap<PairKey, std::vector<u32>> transitive_successors;     // (role, nominal id) → nominal ids
  IdMap<PairKey, std::vector<u32>> forall_nominal_index;      // (role, individual) → ids of ∀role.{…}
  IdMap<u32, u32> nominal_individuals;                        // nominal id → individual
  IdMap<u32, u32> at_most_one;                                // role → id of ≤1 role.⊤
  IdMap<u32, u32> at_most_one_roles;                          // id of ≤1 role.⊤ → role
  IdMap<u32, std::vector<u32>> domains;                       // role → ids
  IdMap<u32, std::vector<u32>> ranges;                        // role → class ids
  std::vector<bool> functional_role_set;                      // by role
  IdMap<u32, std::vector<std::vector<u32>>> unions;           // class → disjunctions
  IdSet<u32> empty_roles;
  bool top_is_bottom = false;
  // role → the range classes of the role and its super-roles; the engine
  // types the targets of links that role chains derive with them.
  IdMap<u32, std::vector<u32>> role_ranges;
};

// Per role (index = role id) the sorted list of its super-roles over the told
// hierarchy of named roles, the role itself included.
using RoleClosure = std::vector<std::vector<u32>>;

RoleClosure build_role_closure(const InternalOntology& ontology);
// The closure as the engine keeps it: list i holds the roles of role i.
std::vector<std::vector<u32>> role_closure_lists(const RoleClosure& closure);

}  // namespace kelmon::sat
