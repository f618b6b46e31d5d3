// Conversion of a loaded OWL ontology into the internal ontology every engine reads.
#pragma once

#include "core/ir.h"
#include "owl/axiom_set.h"

namespace kelmon {

// Never fails: what cannot be represented is counted in `dropped` and skipped,
// so every later answer is a sound under-approximation of the whole ontology.
InternalOntology convert_ontology(const owl::AxiomSet& axioms);

}  // namespace kelmon
