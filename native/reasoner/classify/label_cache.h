// The label-cache phase: one ClassLabel per reportable row, computed in
// parallel under per-class and total budgets, with an optional probe that
// widens small budgets and an optional dump of the labels to a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/deadline.h"
#include "core/ir.h"
#include "reasoner/classify/class_label.h"
#include "reasoner/classify/classify_stats.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

struct LabelPhaseInput {
  const PreparedReasoner& prepared;
  const ReportableClasses& reportable;
  const sat::ElResult& saturation;
  Timeout per_pair_timeout;
  Deadline deadline;
  const InternalOntology& ir;
};

// Writes label_ms into stats.
std::vector<ClassLabel> label_cache_phase(const LabelPhaseInput& in, ClassifyStats& stats);

// The per-class budget in milliseconds before the probe; 0 means no per-class limit.
std::uint64_t label_budget_ms(Timeout per_pair_timeout, std::uint64_t n);

// now + 2 s, or the global deadline when that is earlier.
Instant label_phase_deadline(Deadline global);

// Per class id: an axiom outside the Horn table mentions it.
std::vector<bool> tainted_classes(const InternalOntology& ir, std::size_t class_count);

// The dump file's text.
std::string label_dump_text(const std::vector<ClassLabel>& labels, const sat::ElResult& saturation,
                            const std::vector<std::uint64_t>& times_us, const std::vector<bool>& tainted,
                            const ReportableClasses& reportable);

}  // namespace kelmon::reasoner
