// The pseudo model of realization: the labels the individuals' nodes carry in
// one hypertableau model of the whole knowledge base. A class missing from an
// individual's label is refuted without a tableau test; a class the label
// holds without resting on any branching choice is entailed without one.
#pragma once

#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "reasoner/individuals/instance_test.h"
#include "reasoner/kernel/prepared_reasoner.h"

namespace kelmon::reasoner {

struct PseudoLabel {
  CandidateSet possible;  // the whole label
  CandidateSet certain;   // the part derived without a choice
};

// Indexed by IndividualId.
using PseudoModel = std::vector<PseudoLabel>;

// One wedge run (budget 256, KELMON_PSEUDO_MODEL_WITNESS_MS, 10000 by default)
// over the prepared reasoner's wedge clause set. None when KELMON_PSEUDO_MODEL
// is off, there is no wedge clause set (no assertion, or the wedge is off),
// the run finds no model, or the clause set leaves something out (its model
// need not be one of the ontology). A run that closes proves the ontology
// inconsistent: Inconsistent.
Result<std::optional<PseudoModel>> build_pseudo_model(const PreparedReasoner& prepared);

}  // namespace kelmon::reasoner
