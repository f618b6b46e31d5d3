// The order of the asserted individuals in a wedge run. The engine looks for
// work node by node in id order, so the order decides which individual's
// choices come first and how much a clash undoes. Conversion numbers
// individuals as the converted axioms meet them, and two syntaxes of one
// ontology differ there (one declares every individual, the other only types
// them), so without an order of its own the search depends on the syntax.
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
