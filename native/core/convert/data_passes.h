// The data passes of conversion, after the main loop: told data axioms,
// key-class axioms, and covering of data-property domain unions.
#pragma once

#include "core/ir.h"
#include "owl/axiom_set.h"

namespace kelmon {

// Whether the axiom states anything about data values: a data axiom, a rule, or
// a data restriction anywhere in its class expressions.
bool axiom_has_data_content(const owl::Axiom& axiom);

// `data`: whether any axiom has data content. Without it the told data pass and
// the domain-union covering find nothing, so they are skipped.
void run_data_passes(const owl::AxiomSet& axioms, InternalOntology& onto, bool data);

}  // namespace kelmon
