// The ABox clash check: the first of nine kinds of clash among the asserted
// facts, with types taken from class assertions, domains and ranges and
// closed under the subsumers saturation found, and disjointness from the told
// tables. Sound and shallow: a clash proves the ontology inconsistent, no
// clash proves nothing.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "common/ids.h"
#include "common/once_cell.h"
#include "core/ir.h"
#include "reasoner/kernel/asserted_facts.h"
#include "reasoner/kernel/role_tables.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

namespace clash {
struct AssertedBot {
  IndividualId individual;
  ClassId cls;
  friend constexpr bool operator==(const AssertedBot&, const AssertedBot&) = default;
};
struct DisjointTypes {
  IndividualId individual;
  ClassId c;
  ClassId d;
  friend constexpr bool operator==(const DisjointTypes&, const DisjointTypes&) = default;
};
struct NegOpaConflict {
  IndividualId from;
  RoleId role;
  IndividualId to;
  friend constexpr bool operator==(const NegOpaConflict&, const NegOpaConflict&) = default;
};
struct SameDifferent {
  IndividualId a;
  IndividualId b;
  friend constexpr bool operator==(const SameDifferent&, const SameDifferent&) = default;
};
struct FunctionalDiff {
  RoleId role;
  IndividualId a;
  IndividualId b1;
  IndividualId b2;
  friend constexpr bool operator==(const FunctionalDiff&, const FunctionalDiff&) = default;
};
struct AsymmetricViolation {
  RoleId role;
  IndividualId a;
  IndividualId b;
  friend constexpr bool operator==(const AsymmetricViolation&, const AsymmetricViolation&) = default;
};
struct IrreflexiveViolation {
  RoleId role;
  IndividualId a;
  friend constexpr bool operator==(const IrreflexiveViolation&, const IrreflexiveViolation&) = default;
};
struct FunctionalCollapse {
  IndividualId individual;
  RoleId role;
  ClassId q1;
  ClassId q2;
  friend constexpr bool operator==(const FunctionalCollapse&, const FunctionalCollapse&) = default;
};
struct DisjointRolePairViolation {
  RoleId r;
  RoleId s;
  IndividualId from;
  IndividualId to;
  friend constexpr bool operator==(const DisjointRolePairViolation&, const DisjointRolePairViolation&) = default;
};
}  // namespace clash

// The variants in the order the check looks for them.
using AboxClash = std::variant<clash::AssertedBot, clash::DisjointTypes, clash::NegOpaConflict, clash::SameDifferent,
                               clash::FunctionalDiff, clash::AsymmetricViolation, clash::IrreflexiveViolation,
                               clash::FunctionalCollapse, clash::DisjointRolePairViolation>;

// "AssertedBot { individual: IndividualId(3), class: ClassId(7) }".
std::string debug_text(const AboxClash& clash);

// What the check reads; borrowed from a prepared reasoner or an AboxCheckData.
struct AboxCheckInput {
  const AboxFacts& facts;
  const std::vector<Axiom>& axioms;  // as converted, without role-characteristic axioms
  const ToldTables& told;
  const ConceptPool& pool;
  const std::vector<RolePair>& inverse_pairs;
  const RoleHierarchy& role_hierarchy;
  const std::vector<DisjointRolePair>& disjoint_role_pairs;
  const sat::ElResult& saturation;
};

// The first clash in the fixed order, or none. Pure.
std::optional<AboxClash> abox_check(const AboxCheckInput& input);

// The owned inputs of a check, for callers without a prepared reasoner; the
// caller adds its own saturation.
struct AboxCheckData {
  ConceptPool pool;
  AboxFacts facts;
  std::vector<Axiom> axioms;
  ToldTables told;
  RoleHierarchy role_hierarchy;
  std::vector<RolePair> inverse_pairs;
  std::vector<DisjointRolePair> disjoint_role_pairs;

  AboxCheckInput input(const sat::ElResult& saturation) const {
    return {facts, axioms, told, pool, inverse_pairs, role_hierarchy, disjoint_role_pairs, saturation};
  }
};

AboxCheckData build_abox_check_input(const InternalOntology& ir);

struct PreparedReasoner;

// The clash of a prepared knowledge base, computed on the first call (by one
// thread, the others waiting) and kept, so a cell serves one prepared
// reasoner only. No clash when KELMON_ABOX_CHECK is "0" or empty, or when the
// prepared reasoner has no saturation.
class AboxClashCell {
 public:
  const std::optional<AboxClash>& get(const PreparedReasoner& prepared) const;

 private:
  mutable OnceCell<std::optional<AboxClash>> cell_;
};

}  // namespace kelmon::reasoner
