// Conversion of a loaded OWL ontology into the internal ontology every engine reads.
#pragma once

#include <cstdint>

#include "core/ir.h"
#include "owl/axiom_set.h"

namespace kelmon {

// Never fails: what cannot be represented is counted in `dropped` and skipped,
// so every later answer is a sound under-approximation of the whole ontology.
InternalOntology convert_ontology(const owl::AxiomSet& axioms);

// Microseconds spent in each stage, for benchmarks.
struct ConvertTimings {
  std::uint64_t visiting_order_us = 0, main_loop_us = 0, data_passes_us = 0, ir_passes_us = 0, sort_us = 0;
};
InternalOntology convert_ontology(const owl::AxiomSet& axioms, ConvertTimings* timings);

}  // namespace kelmon
