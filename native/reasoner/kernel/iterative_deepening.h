// A deadline-bound tableau search as a schedule of growing branching depths:
// shallow passes share a short budget, the last pass gets the whole deadline.
// Once shallow passes have wasted enough time on one prepared reasoner, later
// tests on it go straight to the last pass.
#pragma once

#include "common/deadline.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "tableau/completion/tableau.h"

namespace kelmon::reasoner {

// The context is fully seeded. Leaves the context's deadline at the test
// deadline when the last pass ran.
completion::SearchOutcome run_tableau_iterative(completion::TableauContext& context, Instant deadline,
                                                TableauIdStats& stats);

}  // namespace kelmon::reasoner
