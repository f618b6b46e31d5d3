// What every classification does before it prepares a reasoner: the
// inconsistency pre-check, and the taxonomy straight from saturation when the
// ontology lies in a fragment where saturation is complete.
#pragma once

#include <cstdint>
#include <future>
#include <optional>

#include "core/ir.h"
#include "reasoner/classify/classification.h"
#include "reasoner/classify/kernel_routes.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/kernel/consistency.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

struct PreambleOutcome {
  std::optional<Classification> answer;  // inconsistent, or the taxonomy from saturation
  ConsistencyVerdict precheck = ConsistencyVerdict::Unknown;  // Unknown also when skipped
  // The pre-check has a wedge run to make, left to the caller (see
  // PendingPrecheck): no shortcut answers the ontology, so the classification
  // can run beside it.
  bool wedge_pending = false;
};

PreambleOutcome classification_preamble(const InternalOntology& ir, const ReportableClasses& reportable,
                                        const RowByIri& row_by_iri, const sat::ElResult& saturation);

// The pre-check's wedge run on a thread of its own, so that the full
// classification, which needs its verdict only to report an inconsistent
// knowledge base instead, does not wait for it. Destroying a started one
// waits for the run; `ir` must outlive it.
class PendingPrecheck {
 public:
  // Nothing started: verdict() is `settled`.
  explicit PendingPrecheck(ConsistencyVerdict settled) : settled_(settled) {}
  void start(const InternalOntology& ir);
  // Waits for a started run, once; then its verdict.
  ConsistencyVerdict verdict();
  // Without waiting: whether the run has ended and proved inconsistency, so
  // that the work beside it can stop (its answer is replaced anyway).
  bool proved_inconsistent();
  // The run's own duration (0 when none was started).
  std::uint64_t run_ms() const { return run_ms_; }

 private:
  ConsistencyVerdict settled_;
  std::uint64_t run_ms_ = 0;
  std::future<std::pair<ConsistencyVerdict, std::uint64_t>> pending_;
};

// KELMON_TRACE set to any value.
bool classify_tracing();

}  // namespace kelmon::reasoner
