#include "reasoner/classify/verify_pair.h"

#include <array>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/classify/kernel_routes.h"

namespace kelmon::reasoner {

std::size_t hyper_ms_bucket(std::uint64_t ms) {
  static constexpr std::array<std::uint64_t, 8> kUpper = {0, 1, 4, 9, 19, 49, 99, 999};
  for (std::size_t i = 0; i < kUpper.size(); ++i)
    if (ms <= kUpper[i]) return i;
  return 8;
}

namespace {

struct TailFlags {
  bool too_fast = false;
  bool counting = false;
  bool tail = false;
  bool diverged = false;
};

PairVerdict record_undecided(const PairQuery& q, ClassId sub, ClassId sup, ClassifyStats& stats) {
  stats.timed_out_pairs += 1;
  const auto& row_of = q.reportable.row_of;
  invariant(sub.v < row_of.size() && row_of[sub.v].has_value(), "undecided sub is a reportable class");
  invariant(sup.v < row_of.size() && row_of[sup.v].has_value(), "undecided sup is a reportable class");
  stats.undecided_pairs.emplace_back(*row_of[sub.v], *row_of[sup.v]);
  return PairVerdict::Undecided;
}

// After 64 tails, a success rate below 1 in 512 leaves every 32nd stalled pair to the tableau.
bool stalled_pair_gets_tail(const PreparedReasoner& p) {
  if (!switch_flag(SwitchId::BoundStallTail)) return true;
  auto& counters = const_cast<PreparedReasoner&>(p).stall_counters;
  const std::uint64_t s = counters[0].load(std::memory_order_relaxed);
  const std::uint64_t d = counters[1].load(std::memory_order_relaxed);
  if (s < 64 || d >= (std::uint64_t{1} << 55) || s <= 512 * d) return true;
  return counters[2].fetch_add(1, std::memory_order_relaxed) % 32 == 0;
}

Result<PairVerdict> tableau_stage(const PairQuery& q, ClassId sub, ClassId sup, TailFlags flags,
                                  ClassifyStats& stats) {
  if (!tableau_tests_available()) {
    if (flags.tail) stats.tail_timed_out += 1;
    return record_undecided(q, sub, sup, stats);
  }
  Deadline stage = test_deadline(q.deadline, q.per_pair_timeout);
  TableauAnswer answer = tableau_pair_verify_test(q.prepared, sub, sup, stage);
  if (!answer && !(stage && std::holds_alternative<NoVerdict>(answer.error())))
    return std::unexpected(std::move(answer.error()));
  // Only a model or a clash decides: a search cut short by its deadline or by
  // a node limit says nothing about the pair.
  if (!answer || !answer->has_value()) {
    if (flags.tail) stats.tail_timed_out += 1;
    return record_undecided(q, sub, sup, stats);
  }
  const PairVerdict verdict = **answer ? PairVerdict::NotSubsumed : PairVerdict::Subsumed;
  stats.tableau_decided += 1;
  const bool subsumed = verdict == PairVerdict::Subsumed;
  if (flags.too_fast && subsumed) stats.hyper_sat_overturned += 1;
  if (flags.counting && subsumed) stats.counting_sat_overturned += 1;
  if (flags.tail && !subsumed) stats.tail_refuted += 1;
  if (flags.tail && subsumed) {
    stats.tail_subsumed += 1;
    if (flags.diverged) {
      stats.diverged_tail_subsumed += 1;
    } else {
      const_cast<PreparedReasoner&>(q.prepared).stall_counters[1].fetch_add(1, std::memory_order_relaxed);
    }
  }
  return verdict;
}

}  // namespace

Result<PairVerdict> verify_pair(const PairQuery& q, ClassId sub, ClassId sup, bool label_hint, ClassifyStats& stats) {
  bool model_trust = false;
  if (label_hint) model_trust = !switch_flag(SwitchId::ClassifyVerifyRefutations) || stats.fragment_kind != 2;

  // Snapshot stage: the prepared reasoner of this build captures no snapshots.
  if (switch_flag(SwitchId::SnapshotCapture)) stats.snapshot_fallthrough += 1;

  const Instant start = Clock::now();
  const Deadline stage = test_deadline(q.deadline, q.per_pair_timeout);
  const std::uint8_t verdict = hyper_pair_verdict(q.prepared, sub, sup, stage);
  const std::uint64_t ms = elapsed_ms(start);
  stats.hyper_runs_by_class[sub.v] += 1;
  stats.hyper_ms_histogram[hyper_ms_bucket(ms)] += 1;

  TailFlags flags;
  switch (verdict) {
    case 0:
      stats.hyper_unsat += 1;
      return PairVerdict::Subsumed;
    case 1: {
      if (!model_trust || !switch_flag(SwitchId::HypertableauTrustSat)) break;
      if (q.counting_classes.contains(sub) || q.counting_classes.contains(sup)) {
        flags.counting = true;
        break;
      }
      const std::uint64_t min_ms = switch_number(SwitchId::HyperTrustSatMinMs);
      if (min_ms == 0 || min_ms <= ms) {
        stats.hyper_sat_trusted += 1;
        return PairVerdict::NotSubsumed;
      }
      stats.hyper_sat_too_fast += 1;
      flags.too_fast = true;
      break;
    }
    case 2:
      if (!stalled_pair_gets_tail(q.prepared)) {
        stats.stall_tail_skipped += 1;
        return record_undecided(q, sub, sup, stats);
      }
      stats.tail_runs += 1;
      const_cast<PreparedReasoner&>(q.prepared).stall_counters[0].fetch_add(1, std::memory_order_relaxed);
      flags.tail = true;
      break;
    case 4:
      if (switch_flag(SwitchId::BoundDivergedTail)) {
        stats.diverged_bounded += 1;
        return record_undecided(q, sub, sup, stats);
      }
      stats.tail_runs += 1;
      stats.diverged_tail_runs += 1;
      flags.tail = true;
      flags.diverged = true;
      break;
    default:  // no run
      break;
  }
  return tableau_stage(q, sub, sup, flags, stats);
}

}  // namespace kelmon::reasoner
