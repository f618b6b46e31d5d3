// The data passes of conversion, after the main loop: told data axioms,
// key-class axioms, and covering of data-property domain unions.
#pragma once

#include "core/ir.h"
#include "owl/axiom_set.h"

namespace kelmon {

void run_data_passes(const owl::AxiomSet& axioms, InternalOntology& onto);

}  // namespace kelmon
