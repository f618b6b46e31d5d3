// The order in which justifications and repairs list their axioms: the OWL
// library's total order of axioms, with the super operand of SubClassOf,
// SubObjectPropertyOf and SubDataPropertyOf compared before the sub operand.
#pragma once

#include <vector>

#include "owl/model.h"

namespace kelmon::explain {

// Negative, zero or positive.
int compare_axiom_order(const owl::Axiom& a, const owl::Axiom& b);
inline bool axiom_before(const owl::Axiom& a, const owl::Axiom& b) { return compare_axiom_order(a, b) < 0; }

// The same axioms in ascending order; equal axioms keep their relative order.
std::vector<owl::Axiom> sort_axioms(std::vector<owl::Axiom> axioms);

}  // namespace kelmon::explain
