// The driver's side of the pair work after the per-class tests: candidate
// preparation, the tier search, the superclass sweep of defined rows, the
// same-tier pass, the conjunction pass and the backfold. Their answers become
// the parents and children lists the subsumer rows are filled from.
#pragma once

#include <cstdint>
#include <vector>

#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/classify/class_label.h"
#include "reasoner/classify/classify_stats.h"
#include "reasoner/classify/pair_tasks.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

struct PairPhaseInput {
  const InternalOntology& ir;
  const ReportableClasses& reportable;
  const sat::ElResult& saturation;
  const PreparedReasoner& prepared;
  const std::vector<ClassLabel>& labels;
  const tsl::robin_set<std::uint64_t>& unsat_rows;
  Timeout per_pair_timeout;
  Deadline deadline;
};

struct PairPhaseOutput {
  RowLists parents;
  RowLists children;
  std::vector<std::uint64_t> roots;
};

// Writes search_ms, sweep_ms and the pair counters into stats; fails only
// when a tier-search task fails.
Result<PairPhaseOutput> run_pair_phases(const PairPhaseInput& in, ClassifyStats& stats);

// live rows sorted stably by saturation-row size, cut into runs of equal size.
std::vector<std::vector<std::uint64_t>> subsumer_tiers(const ReportableClasses& reportable,
                                                       const sat::SubsumerTable& saturation,
                                                       const tsl::robin_set<std::uint64_t>& unsat_rows);

}  // namespace kelmon::reasoner
