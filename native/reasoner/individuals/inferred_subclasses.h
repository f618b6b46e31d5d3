// The entailed subclass pairs between named classes, as materialization
// writes them out.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "reasoner/classify/classification.h"

namespace kelmon::reasoner {

// (sub IRI, sup IRI).
using ClassPair = std::pair<std::string, std::string>;

// Classifies without bounds (setting up the worker pool first, as classify
// does) and lists the pairs of `inferred_subclass_pairs`. No inconsistency
// check of its own: it reports what the classification gives.
Result<std::vector<ClassPair>> materialize_inferred_subclass_axioms(const owl::LoadedOntology& loaded);

// Every (a, b) with a ⊑ b, a ≠ b, neither owl:Thing nor owl:Nothing, a
// satisfiable (an unsatisfiable class lies under every class); grouped by a
// in row order, b in row order within a group.
std::vector<ClassPair> inferred_subclass_pairs(const Classification& classification);

}  // namespace kelmon::reasoner
