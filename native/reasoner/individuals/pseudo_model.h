// The pseudo model of realization: the labels the individuals' nodes carry in
// one hypertableau model of the whole knowledge base. A class missing from an
// individual's label is refuted without a tableau test.
#pragma once

#include <optional>
#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/individuals/instance_test.h"

namespace kelmon::reasoner {

// Indexed by IndividualId.
using PseudoModel = std::vector<CandidateSet>;

// One wedge run (budget 256, KELMON_PSEUDO_MODEL_WITNESS_MS, 1000 by default)
// over the ontology as converted. None when KELMON_PSEUDO_MODEL is off, the
// ontology has no assertion or the wedge is off, the run finds no model, or the
// clause set leaves something out (its model need not be one of the ontology).
// A run that closes proves the ontology inconsistent: Inconsistent.
Result<std::optional<PseudoModel>> build_pseudo_model(const InternalOntology& ir);

}  // namespace kelmon::reasoner
