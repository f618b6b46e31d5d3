// The order of the asserted individuals in a wedge run. The engine looks for
// work node by node in id order, so the order decides which individual's
// choices come first and how much a clash undoes; ids given in order of first
// use in the document make that depend on the syntax an ontology came in.
#pragma once

#include "core/ir.h"
#include "reasoner/kernel/hyper_clause_set.h"

namespace kelmon::reasoner {

// Renames the set's individuals (their nominal classes, role assertions and
// equalities) so that those in fewer role assertions come first, ties by IRI.
// The renamed set has a model exactly when the old one has; what a model says
// of individual i is then said of its new id, so only runs that read the
// verdict alone may use it.
void order_individuals_for_search(const Vocabulary& vocabulary, WedgeClauseSet& wedge);

}  // namespace kelmon::reasoner
