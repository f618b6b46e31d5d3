// The role side of a prepared reasoner: role characteristics rewritten into
// class axioms, and the role tables the tableau reads (inverse pairs, chains,
// asymmetric roles, disjoint role pairs). The hierarchy itself is
// build_directed_role_hierarchy of core/.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "core/ir.h"

namespace kelmon::reasoner {

// A two-link chain first ∘ second ⊑ sup; TransitiveRole(R) gives (R, R, R).
struct RoleChainEntry {
  Role first;
  Role second;
  Role sup;
  friend bool operator==(const RoleChainEntry&, const RoleChainEntry&) = default;
};

using RolePair = std::pair<RoleId, RoleId>;
// Two disjoint role expressions, the first always named: R⁻ and S disjoint is
// R and S⁻ disjoint read backwards.
using DisjointRolePair = std::pair<Role, Role>;

struct RoleTables {
  std::vector<RolePair> inverse_pairs;
  std::vector<RoleId> asymmetric_roles;
  std::vector<DisjointRolePair> disjoint_role_pairs;
  std::vector<RoleChainEntry> role_chains;
};

// Appends, in axiom order: Symmetric(R) -> InverseObjectProperties(R, R),
// Reflexive(R) -> ⊤ ⊑ Self(R), Irreflexive(R) -> ⊤ ⊑ ¬Self(R),
// Functional(R) -> ⊤ ⊑ ≤1 R.⊤, InverseFunctional(R) -> ⊤ ⊑ ≤1 R⁻.⊤ (the last
// two for named R only). The list is not re-sorted.
void add_role_characteristic_axioms(InternalOntology& ir);

RoleTables collect_role_tables(const std::vector<Axiom>& axioms);
// Pairs of different role expressions listed together in a DisjointObjectProperties.
std::vector<DisjointRolePair> collect_disjoint_role_pairs(const std::vector<Axiom>& axioms);

// KELMON_CLASSIFY_ROLE_HIERARCHY_MAX_CLOSURE, 64 when unset or invalid.
std::uint64_t role_hierarchy_max_closure();
// The longest super-role or sub-role row is at most that cap.
bool role_hierarchy_affordable(const RoleHierarchy& hierarchy);

}  // namespace kelmon::reasoner
