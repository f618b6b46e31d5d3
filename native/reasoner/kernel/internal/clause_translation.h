// What the clause-set builders add to their private copy of the ontology so
// that its DL-clauses say everything the knowledge base says about roles, and
// the checks that tell whether the translation left anything out.
#pragma once

#include <vector>

#include "core/clause.h"
#include "core/ir.h"
#include "core/role_hierarchy.h"

namespace kelmon::reasoner {

// Appends the class axioms the translation does not derive from role axioms
// itself: {a} ⊑ ∀R.¬{b} per negative property assertion, ⊤ ⊑ Self(R) per
// reflexive role, ⊤ ⊑ ¬Self(R) per irreflexive role and ∃R⁻.⊤ ⊑ ≤1 R⁻.⊤ per
// inverse-functional role.
void add_role_gcis(InternalOntology& ir);

// Appends S(x,y) → R(x,y) per role inclusion or equivalence whose roles, as
// the translation writes them, differ in direction; R(x,y) ∧ R(y,x) → ⊥ per
// asymmetric role and R(x,y) ∧ S(x,y) → ⊥ per pair of disjoint roles.
void append_role_clauses(const InternalOntology& ir, std::vector<DlClause>& clauses);

// For engines without the role hierarchy: S(x,y) → R(x,y) per role inclusion
// or equivalence of one direction, R(x,y) → R(y,x) per symmetric role.
void append_hierarchy_clauses(const InternalOntology& ir, std::vector<DlClause>& clauses);

// A Min or Max of the pool whose filler is a data-value key class (the
// translation has no clause for those).
bool has_key_number_restriction(const InternalOntology& ir);

// Data-value semantics no pairwise key axiom carries and no model check
// tests: disjoint roles that carry data values (two successors with one value
// are the same value).
bool has_key_beyond_pairs(const InternalOntology& ir);

// A value required outside a key (∃R.¬K or ≥n R.¬K): several keys together,
// or the keys a value node lacks, may rule out every value, so each model of
// the clauses needs its value nodes checked, those without a key as well.
bool has_key_required_outside(const InternalOntology& ir);

// A value excluded from a key where three or more keys, or integer and decimal
// keys, are in use: their meet may be just the excluded values, so each model
// of the clauses needs its data values checked.
bool has_value_excluded_among_keys(const InternalOntology& ir);

// Every InverseObjectProperties axiom is honoured by the folding of inverse roles.
bool inverses_folded(const InternalOntology& ir, const InverseRoleMap& inverses);

// No role has a super-role but itself, and none is symmetric.
bool hierarchy_is_trivial(const RoleHierarchy& hierarchy);

// By class id: whether the class is a data-value key class.
std::vector<bool> dkey_class_flags(const InternalOntology& ir);
std::vector<bool> dkey_class_flags(const Vocabulary& vocabulary);

}  // namespace kelmon::reasoner
