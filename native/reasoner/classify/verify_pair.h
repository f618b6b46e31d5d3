// The decision procedure for one candidate subsumption sub ⊑ sup: the
// hypertableau stage with its rules for trusting a model, bounded tails for
// stalled runs, and the tableau stage. Every outcome is counted in the
// caller's statistics; a pair no stage decided is recorded as undecided.
#pragma once

#include <cstdint>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "reasoner/classify/classify_stats.h"
#include "reasoner/classify/pair_memo.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "reasoner/kernel/snapshot_capture.h"

namespace kelmon::reasoner {

struct PairQuery {
  const PreparedReasoner& prepared;
  const ReportableClasses& reportable;
  Timeout per_pair_timeout;
  Deadline deadline;
  const ClassSet& counting_classes;
  // Shared by the pair phases of one classification; none: every pair is run.
  PairMemo* memo = nullptr;
};

// label_hint: a model found by an engine stage may settle the pair as not
// subsumed. With a memo, a pair decided before is not run again, a recorded
// model may refute it (counted in label_refuted), and a trusted model found
// here is recorded.
Result<PairVerdict> verify_pair(const PairQuery& query, ClassId sub, ClassId sup, bool label_hint,
                                ClassifyStats& stats);

// The capture's clause list with T(x) → C(x) appended, T being the capture's id bound.
std::vector<DlClause> class_seed_clauses(const SnapshotCapture& capture, ClassId c);

// Whether a stalled hypertableau run goes on to the tableau tail: always,
// unless KELMON_BOUND_STALL_TAIL is set to something other than "0" or the
// empty value; then by the prepared reasoner's tail counters (the sampling
// ticket moves only when the earlier conditions fail).
bool stalled_pair_gets_tail(const PreparedReasoner& prepared);

// The bucket of the hypertableau stage histogram for a duration in milliseconds.
std::size_t hyper_ms_bucket(std::uint64_t ms);

}  // namespace kelmon::reasoner
