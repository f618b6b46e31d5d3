#include "core/convert/data_passes.h"

namespace kelmon {

// Until the data passes are wired in, nothing is derived from data axioms.
void run_data_passes(const owl::AxiomSet&, InternalOntology&) {}

}  // namespace kelmon
