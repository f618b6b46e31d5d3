// Whether one named class is subsumed by another, and whether a named class
// can have instances: saturation first, then (for subsumption) the
// hypertableau's closed runs, then a tableau test, unbounded unless a
// deadline is given (a test it stops answers undecided). owl:Thing and
// owl:Nothing stand for ⊤ and ⊥ wherever a class is named.
#pragma once

#include <string_view>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/kernel/kernel_answer.h"

namespace kelmon::reasoner {

// IRIs are looked up verbatim among the classes; sub is looked up first.
Result<KernelAnswer> entails_subclass(InternalOntology ir, std::string_view sub, std::string_view sup,
                                      Deadline deadline = std::nullopt);
Result<KernelAnswer> is_satisfiable(InternalOntology ir, std::string_view cls, Deadline deadline = std::nullopt);

}  // namespace kelmon::reasoner
