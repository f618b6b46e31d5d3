// The kernel tests classification asks, in the shape the driver needs. A test
// whose engine is not part of this build is unavailable: callers then record
// the question as undecided, so a classification never reports an answer that
// no test stands behind.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/kernel/prepared_reasoner.h"

namespace kelmon::reasoner {

// true: satisfiable; false: unsatisfiable; absent: ran out of time.
using TableauAnswer = Result<std::optional<bool>>;

// Whether the completion-graph tableau test runner is built in.
bool tableau_tests_available();
// The test concept Atomic(c); the asserted facts unless the reasoner is tbox_only.
TableauAnswer tableau_class_test(const PreparedReasoner& prepared, ClassId c, Deadline deadline);
// sub ⊓ ¬sup, as pair verification asks it.
TableauAnswer tableau_pair_verify_test(const PreparedReasoner& prepared, ClassId sub, ClassId sup, Deadline deadline);
// a ⊓ ¬b, as the disjointness classification asks it.
TableauAnswer tableau_disjoint_pair_test(const PreparedReasoner& prepared, ClassId a, ClassId b, Deadline deadline);
// The per-class probe timeout under KELMON_UNSAT_PROBE_MS.
Timeout unsat_probe_timeout(Timeout per_pair_timeout);

// Hypertableau verdicts of one subsumption run: 0 closed, 1 model, 2 stalled,
// 3 no run (no clause set, or a model of clauses that are not exact), 4
// stalled after diverging. With model_root, after verdict 1 the label of the
// model's probe root (empty when the run left none).
std::uint8_t hyper_pair_verdict(const PreparedReasoner& prepared, ClassId sub, ClassId sup, Deadline deadline,
                                std::vector<std::uint32_t>* model_root = nullptr);

}  // namespace kelmon::reasoner
