// The asserted facts of an ontology in the form the completion graph is
// seeded with and the ABox clash check reads: seven lists, each in axiom order.
#pragma once

#include <utility>
#include <vector>

#include "common/ids.h"
#include "core/ontology.h"

namespace kelmon::reasoner {

// source --role--> target over a named role (an inverse assertion is stored swapped).
struct RoleAssertionFact {
  IndividualId source;
  RoleId role;
  IndividualId target;
  friend constexpr auto operator<=>(const RoleAssertionFact&, const RoleAssertionFact&) = default;
};

struct AboxFacts {
  // Every individual an assertion names, once, in order of first mention, with the id of Nominal(individual).
  std::vector<std::pair<IndividualId, ConceptId>> individual_nominals;
  std::vector<std::pair<IndividualId, ConceptId>> class_assertions;
  std::vector<RoleAssertionFact> role_assertions;
  // Each negative role assertion as (subject, ∀R.¬{object}), R as written.
  std::vector<std::pair<IndividualId, ConceptId>> negative_assertion_concepts;
  // Every pair of positions i < j of each SameIndividual and DifferentIndividuals list.
  std::vector<std::pair<IndividualId, IndividualId>> same_pairs;
  std::vector<std::pair<IndividualId, IndividualId>> different_pairs;
  std::vector<RoleAssertionFact> negative_role_assertions;
};

// Collects the facts, interning the nominals and negated concepts they need into the IR's pool.
AboxFacts collect_abox_facts(InternalOntology& ir);

}  // namespace kelmon::reasoner
