// Hypertableau runs over the kernel's clause sets: one subsumption run of a
// probe root forced into sub and out of sup, the same with growing budgets
// (iterative deepening, shallow passes under a short deadline), and the
// whole-knowledge-base engine over a wedge clause set.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "common/deadline.h"
#include "reasoner/kernel/hyper_clause_set.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::reasoner {

// The answer of run_hyper_iterative for (sub, sup).
enum class HyperVerdict : std::uint8_t {
  Closed = 0,     // sub ⊓ ¬sup has no model: the subsumption holds
  Model = 1,      // a model was found: it does not hold (trusted only when the set is sat_exact)
  Stalled = 2,    // budget, deadline or another stop
  NotRun = 3,     // no clause set: no run took place (callers' own code)
  Diverged = 4,   // stalled, the last run stopped by the adaptive-budget test
  Untrusted = 5,  // a model was found whose data-value nodes have no values: it proves nothing
};

// The clauses that force the probe root into class c: P → c, then the
// saturation's subsumers and links of c and the loose disjoint pairs.
std::vector<DlClause> probe_seed_clauses(const HyperClauseSet& set, std::uint32_t c);

// The engine switches shared by every hypertableau run of the kernel.
void apply_engine_knobs(HyperEngine& engine);

struct HyperRun {
  HyperOutcome outcome = HyperOutcome::Stalled;
  HyperStats stats;
  bool values_fit = true;  // after Sat: the model's data-value nodes have values
};

// With model_root: after a Sat run whose data-value nodes have values, the
// label of the probe root (left empty otherwise).
HyperRun run_hyper(const HyperClauseSet& set, std::uint32_t sub, std::uint32_t sup, std::uint64_t budget,
                   Deadline deadline, std::vector<std::uint32_t>* model_root = nullptr);

// Updates the set's shallow counters (atomically; many runs may share the set).
// model_root as for run_hyper, from the run that gave the verdict.
HyperVerdict run_hyper_iterative(const HyperClauseSet& set, std::uint32_t sub, std::uint32_t sup, Deadline deadline,
                                 std::vector<std::uint32_t>* model_root = nullptr);

// The schedule of budgets of run_hyper_iterative: KELMON_ID_SCHEDULE when it
// is a valid strictly increasing list ending at 256 or more, else 8, 32, 128, 512.
std::vector<std::uint64_t> hyper_id_schedule();

// The engine over the asserted individuals, ready to run. It borrows the
// set's clauses: the set must outlive it.
HyperEngine build_wedge_engine(const WedgeClauseSet& set);

// KELMON_HYPER_TRUST_SAT_MIN_MS, read once per process; 0 when unset or invalid.
std::uint64_t hyper_trust_sat_min_ms();

}  // namespace kelmon::reasoner
