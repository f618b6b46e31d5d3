// Whether the whole knowledge base (TBox and asserted facts) has a model,
// tried cheapest first: ABox saturation, the ABox clash check, the
// hypertableau over the asserted individuals (the wedge), and the tableau.
// check_consistency answers for is_consistent; the pre-check and the probe
// serve classification and only ever prove inconsistency.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/classify/classify_stats.h"
#include "reasoner/kernel/kernel_answer.h"
#include "reasoner/kernel/prepared_reasoner.h"

namespace kelmon::reasoner {

// answer = consistent; fragment_complete is always false. Unbounded unless a
// deadline is given; a test it stops answers undecided.
Result<KernelAnswer> check_consistency(InternalOntology ir, Deadline deadline = std::nullopt);

// What a bounded consistency question found. Inconsistent and Consistent are
// proofs; Unknown means no engine decided within its bounds.
enum class ConsistencyVerdict : std::uint8_t { Inconsistent, Consistent, Unknown };

// Inconsistent when the two saturation flags, ABox saturation or the wedge
// prove it; Consistent only from a model of an exact wedge clause set.
ConsistencyVerdict wedge_inconsistency_precheck(const InternalOntology& ir, bool top_is_bottom, bool inconsistent);
// Its two halves: the saturation flags and ABox saturation (Inconsistent or
// Unknown), then the wedge run, which a caller may run beside other work.
ConsistencyVerdict saturation_inconsistency_precheck(const InternalOntology& ir, bool top_is_bottom,
                                                     bool inconsistent);
ConsistencyVerdict wedge_run_precheck(const InternalOntology& ir);
// Whether wedge_run_precheck runs at all (its switches, and an assertion to check).
bool wedge_precheck_runs(const InternalOntology& ir);

// A bounded check during classification; true when it proves inconsistency.
// row_of: per class id its classification row, if any; n: the row count.
bool consistency_probe(const InternalOntology& ir, const PreparedReasoner& prepared,
                       const std::vector<std::optional<std::uint32_t>>& row_of,
                       const tsl::robin_set<std::uint64_t>& unsat_rows, std::uint64_t n, ClassifyStats& stats,
                       bool early);

// The probe's engine tests without its gates, each run bounded by the
// earlier of `request` and now + `per_run`: for classifications whose
// per-class tests leave the asserted facts out and so cannot notice an
// inconsistent ABox. Records in the statistics that the probe ran.
ConsistencyVerdict consistency_probe_within(const PreparedReasoner& prepared, Timeout per_run, Deadline request,
                                            ClassifyStats& stats);

// KELMON_CONSISTENCY_FALLBACK_MS, default 10000.
std::uint64_t consistency_fallback_ms();
// KELMON_CLASSIFY_CONSISTENCY_PROBE_MS, default 200.
std::uint64_t consistency_probe_ms();
// KELMON_CLASSIFY_PROBE_MIN_FRAC_PERMILLE, default 2.
std::uint64_t probe_min_frac_permille();
// KELMON_CLASSIFY_INCONSISTENCY_MS; none when unset or invalid (the caller computes a default).
std::optional<std::uint64_t> inconsistency_budget_ms();

}  // namespace kelmon::reasoner
