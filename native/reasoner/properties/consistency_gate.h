// The check that the property and pair services run before answering: an
// ontology whose asserted facts saturate to a clash is refused as inconsistent.
#pragma once

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"

namespace kelmon::reasoner {

// Converts the ontology and saturates its asserted facts without a deadline;
// Inconsistent when that finds a clash. Nothing else of either is kept.
Result<void> consistency_gate(const owl::LoadedOntology& loaded);

}  // namespace kelmon::reasoner
