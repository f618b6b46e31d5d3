// The last rewrites of conversion: negated superclasses become GCIs into
// Bottom, functional roles become explicit at-most-one GCIs, and (on request)
// functionality is completed across inverse role pairs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "core/ontology.h"

namespace kelmon {

// C ⊑ ¬X becomes C ⊓ X ⊑ ⊥ (in place for the first negation of a conjunction,
// appended for the others and the rest). Returns how many axioms it rewrote;
// off when KELMON_NEG_TO_BOT_GCI is "0".
std::uint64_t negation_to_bottom_gcis(InternalOntology& ontology);

// The roles that deserve an at-most-one GCI, one per qualifying axiom, in axiom
// order; computed lazily as next() is called.
class FunctionalRoles {
 public:
  FunctionalRoles(std::span<const Axiom> axioms, const InternalOntology& ontology)
      : axioms_(axioms), ontology_(ontology) {}
  std::optional<Role> next();

 private:
  std::span<const Axiom> axioms_;
  const InternalOntology& ontology_;
  std::size_t position_ = 0;
};

inline FunctionalRoles functional_roles(std::span<const Axiom> axioms, const InternalOntology& ontology) {
  return FunctionalRoles(axioms, ontology);
}

// Appends SubClassOf(Some(Top, r), Max(1, Top, r)) once per functional role.
void add_functional_role_gcis(InternalOntology& ontology);

// When KELMON_INVERSE_PAIR_FUNC is "1": completes functional and inverse-
// functional characteristics across InverseObjectProperties pairs and appends
// the mirrored assertions of functional partners.
void inverse_pair_functional_pass(InternalOntology& ontology);

}  // namespace kelmon
