// The rule tables ABox saturation compiles from the TBox once per call, and
// the concept walks that feed them. Tables are flat vectors by id; a role
// table is indexed by role_key (named and inverse role side by side).
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/ids.h"
#include "core/concept.h"
#include "core/ontology.h"

namespace kelmon::reasoner::abox {

constexpr std::uint32_t role_key(Role r) { return r.id.v * 2 + r.inverse; }

struct AboxRules {
  std::vector<std::vector<ClassId>> told_supers;                              // by class
  std::vector<std::vector<std::pair<RoleId, ClassId>>> existential_rules;    // A ⊑ ∃r.B, by class
  std::vector<std::vector<std::pair<Role, IndividualId>>> nominal_rules;     // A ⊑ ∃R.{o}, by class
  std::vector<std::pair<ClassId, ClassId>> disjoint_pairs;
  std::vector<std::vector<Role>> super_roles;  // by role key, no duplicates
  std::vector<std::array<Role, 3>> chain2_rules;  // R1 ∘ R2 ⊑ S
  std::vector<std::array<Role, 4>> chain3_rules;  // R1 ∘ R2 ∘ R3 ⊑ S
  std::vector<std::vector<ClassId>> domains;  // by role key
  std::vector<std::vector<ClassId>> ranges;   // by role key
  std::vector<Role> functional;               // ascending, no duplicates
  // By role id: (s, inverse) means every edge r(x, y) also is s(x, y), or s(y, x) when inverse.
  std::vector<std::vector<Role>> role_equivalents;
};

AboxRules compile_abox_rules(const InternalOntology& ir);

// Appends (individual, class) for an Atomic concept, or for each Atomic reached through And members.
void push_atomic_conjuncts(const ConceptPool& pool, IndividualId individual, ConceptId concept_id,
                           std::vector<std::pair<IndividualId, ClassId>>& out);
// (role, class) of each ∃r.B, r named and B atomic, met by walking And members depth-first.
std::vector<std::pair<RoleId, ClassId>> atomic_existentials(const ConceptPool& pool, ConceptId concept_id);
// (role, individual) of each ∃R.{o} met by the same walk, for named and inverse roles.
std::vector<std::pair<Role, IndividualId>> nominal_existentials(const ConceptPool& pool, ConceptId concept_id);

// The groups SameIndividual axioms form: each member list holds the whole group.
struct SameGroups {
  static constexpr std::uint32_t kNone = ~std::uint32_t{0};
  std::vector<std::uint32_t> group_of;  // by individual: index into members, or kNone
  std::vector<std::vector<IndividualId>> members;

  const std::vector<IndividualId>* group(IndividualId i) const {
    const std::uint32_t g = group_of[i.v];
    return g == kNone ? nullptr : &members[g];
  }
};

SameGroups same_individual_groups(const InternalOntology& ir);

}  // namespace kelmon::reasoner::abox
