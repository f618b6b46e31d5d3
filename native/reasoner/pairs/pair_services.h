// Pair questions over named classes and individuals: entailed disjoint
// classes, same individuals and different individuals. Told facts settle what
// they can; every other pair gets one tableau test bounded by 1 s. Each refuses
// an ontology whose asserted facts saturate to a clash (Inconsistent).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"

namespace kelmon::reasoner {

// Pairs with the smaller IRI first, sorted, without duplicates.
struct PairAnswer {
  std::vector<std::pair<std::string, std::string>> pairs;
  bool incomplete = false;
};

// Groups of two or more IRIs, each sorted, the groups sorted.
struct GroupAnswer {
  std::vector<std::vector<std::string>> groups;
  bool incomplete = false;
};

// Satisfiable named classes whose intersection is unsatisfiable. Incomplete
// when the classification behind it is, or when a pair test stays undecided.
Result<PairAnswer> disjoint_classes(const owl::LoadedOntology& loaded);

// Named individuals that denote one object: asserted, forced by functional
// properties, or proven by a test. Incomplete once any test has run.
Result<GroupAnswer> same_individuals(const owl::LoadedOntology& loaded);

// Named individuals that cannot be the same: asserted, or proven by a test.
// Incomplete when a pair test stays undecided.
Result<PairAnswer> different_individuals(const owl::LoadedOntology& loaded);

}  // namespace kelmon::reasoner
