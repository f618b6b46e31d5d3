// The order in which conversion visits the loaded axioms; it fixes every id
// given in the main loop, so it must not depend on the document's axiom order.
#pragma once

#include <vector>

#include "owl/axiom_set.h"

namespace kelmon {

// Structural order, or SipHash order (ties by structural order) when
// KELMON_CONVERT_HASH_SORT is exactly "1". Nothing is copied.
std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms);
// The same with the choice made by the caller.
std::vector<const owl::AnnotatedAxiom*> visiting_order(const owl::AxiomSet& axioms, bool hash_order);

}  // namespace kelmon
