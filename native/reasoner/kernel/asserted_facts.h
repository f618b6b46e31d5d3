// The asserted facts of an ontology in the form a completion graph is seeded
// with: one nominal per named individual, and the assertions as lists.
#pragma once

#include <utility>
#include <vector>

#include "core/ir.h"

namespace kelmon::reasoner {

// source --role--> target over a named role (inverse assertions are turned round).
struct RoleFact {
  IndividualId source;
  RoleId role;
  IndividualId target;
  friend bool operator==(const RoleFact&, const RoleFact&) = default;
};

using IndividualConcept = std::pair<IndividualId, ConceptId>;
using IndividualPair = std::pair<IndividualId, IndividualId>;

struct AboxFacts {
  // Every individual named by an assertion, once, in order of first mention,
  // with the id of its Nominal concept.
  std::vector<IndividualConcept> individual_nominals;
  std::vector<IndividualConcept> class_assertions;
  std::vector<RoleFact> role_assertions;
  // ¬R(a, b) as a : ∀R.¬{b}.
  std::vector<IndividualConcept> negative_assertion_concepts;
  std::vector<IndividualPair> same_pairs;
  std::vector<IndividualPair> different_pairs;
  std::vector<RoleFact> negative_role_assertions;
};

// Interns the nominals and negative-assertion concepts into the IR's pool.
AboxFacts collect_abox_facts(InternalOntology& ir);

}  // namespace kelmon::reasoner
