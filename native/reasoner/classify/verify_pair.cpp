#include "reasoner/classify/verify_pair.h"

#include <array>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/classify/kernel_routes.h"
#include "reasoner/kernel/snapshot_capture.h"

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

// Off unless set to something other than "0" or the empty value.
bool bounding_on(SwitchId id) {
  const auto v = switch_text(id);
  return v && !v->empty() && *v != "0";
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

DlClause concept_clause(std::vector<std::uint32_t> body, std::vector<std::uint32_t> head) {
  DlClause clause;
  for (std::uint32_t c : body) clause.body.push_back(ClauseAtom{0, c, 0, Role{}, 0, 0});
  for (std::uint32_t c : head) clause.head.push_back(ClauseAtom{0, c, 0, Role{}, 0, 0});
  return clause;
}

}  // namespace

// After 64 tails, a success rate below 1 in 512 leaves every 32nd stalled pair to the tableau.
bool stalled_pair_gets_tail(const PreparedReasoner& p) {
  if (!bounding_on(SwitchId::BoundStallTail)) return true;
  auto& counters = const_cast<PreparedReasoner&>(p).stall_counters;
  const std::uint64_t s = counters[0].load(std::memory_order_relaxed);
  const std::uint64_t d = counters[1].load(std::memory_order_relaxed);
  if (s < 64 || d >= (std::uint64_t{1} << 55) || s <= 512 * d) return true;
  return counters[2].fetch_add(1, std::memory_order_relaxed) % 32 == 0;
}

std::vector<DlClause> class_seed_clauses(const SnapshotCapture& capture, ClassId c) {
  std::vector<DlClause> clauses = capture.clauses;
  clauses.push_back(concept_clause({capture.id_bound}, {c.v}));
  return clauses;
}

namespace {

// A snapshot test gives no engine to check a model's data values with, so its
// models count only where the clause set needs no such check.
bool snapshot_models_trusted(const PairQuery& q, ClassId sub, ClassId sup) {
  if (q.counting_classes.contains(sub) || q.counting_classes.contains(sup)) return false;
  const HyperClauseSet* set = q.prepared.hyper_set();
  return set != nullptr && set->sat_exact && !set->key_check;
}

// A model of sub cached once per class; a pair then costs one run of the
// refutation clause of sup on that model.
std::optional<PairVerdict> snapshot_stage(const SnapshotCapture& cap, ClassId sub, ClassId sup, bool model_trust,
                                          ClassifyStats& stats) {
  auto& capture = const_cast<SnapshotCapture&>(cap);
  const std::uint32_t t = capture.id_bound;
  std::shared_ptr<const HyperSnapshot> snapshot;
  {
    decltype(capture.snapshot_cache)::const_accessor found;
    if (capture.snapshot_cache.find(found, sub.v)) snapshot = found->second;
  }
  if (!snapshot) {
    const Instant start = Clock::now();
    const std::vector<DlClause> clauses = class_seed_clauses(capture, sub);
    HyperEngine engine(clauses, t);
    const HyperOutcome outcome = engine.run(256, std::nullopt);
    std::optional<HyperSnapshot> root;
    if (outcome == HyperOutcome::Sat) root = engine.snapshot_root(t);
    if (outcome != HyperOutcome::Sat || root) capture.build_us.fetch_add(elapsed_us(start), std::memory_order_relaxed);
    if (!root) {
      stats.snapshot_fallthrough += 1;
      return std::nullopt;
    }
    snapshot = std::make_shared<const HyperSnapshot>(std::move(*root));
    decltype(capture.snapshot_cache)::accessor slot;
    capture.snapshot_cache.insert(slot, sub.v);
    slot->second = snapshot;
  }
  std::shared_ptr<const std::vector<DlClause>> refutation;
  {
    decltype(capture.snapshot_aux_cache)::accessor slot;
    if (capture.snapshot_aux_cache.insert(slot, sup.v))
      slot->second = std::make_shared<const std::vector<DlClause>>(std::vector<DlClause>{concept_clause({t, sup.v}, {})});
    refutation = slot->second;
  }
  const Instant start = Clock::now();
  const std::vector<DlClause> base = class_seed_clauses(capture, sub);
  const std::uint8_t outcome = switch_flag(SwitchId::SnapshotLazy) ? hyper_test_lazy(base, *snapshot, *refutation)
                                                                    : hyper_test_eager(base, *snapshot, *refutation);
  capture.test_us.fetch_add(elapsed_us(start), std::memory_order_relaxed);
  stats.snapshot_tests += 1;
  switch (outcome) {
    case 0:
      stats.snapshot_unsat += 1;
      return PairVerdict::Subsumed;
    case 1:
      if (model_trust && switch_flag(SwitchId::HypertableauTrustSat)) {
        stats.snapshot_sat_trusted += 1;
        return PairVerdict::NotSubsumed;
      }
      stats.snapshot_fallthrough += 1;
      return std::nullopt;
    case 2: stats.snapshot_not_run += 1; return std::nullopt;
    default: stats.snapshot_fallthrough += 1; return std::nullopt;
  }
}

}  // namespace

namespace {

// Whether a model's refutation may settle (sub, sup) here, as verify_pair
// trusts a model of its own run.
bool trusts_models(const PairQuery& q, bool label_hint, const ClassifyStats& stats) {
  if (!label_hint || !switch_flag(SwitchId::HypertableauTrustSat)) return false;
  return !switch_flag(SwitchId::ClassifyVerifyRefutations) || stats.fragment_kind != 2;
}

Result<PairVerdict> verify_pair_run(const PairQuery& q, ClassId sub, ClassId sup, bool model_trust,
                                    ClassifyStats& stats) {

  if (snapshot_capture_enabled()) {
    const SnapshotCapture* capture = q.prepared.snapshot.get();
    if (capture == nullptr || capture->logic_profile != 5) {
      stats.snapshot_fallthrough += 1;
    } else if (auto answer = snapshot_stage(*capture, sub, sup, model_trust && snapshot_models_trusted(q, sub, sup),
                                            stats)) {
      return *answer;
    }
  }

  const Instant start = Clock::now();
  const Deadline stage = test_deadline(q.deadline, q.per_pair_timeout);
  std::vector<std::uint32_t> model_root;
  const std::uint8_t verdict = hyper_pair_verdict(q.prepared, sub, sup, stage, q.memo ? &model_root : nullptr);
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
        if (q.memo != nullptr && q.counting_classes.empty()) q.memo->add_model(std::move(model_root));
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
      if (bounding_on(SwitchId::BoundDivergedTail)) {
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

}  // namespace

Result<PairVerdict> verify_pair(const PairQuery& q, ClassId sub, ClassId sup, bool label_hint, ClassifyStats& stats) {
  const bool model_trust = trusts_models(q, label_hint, stats);
  if (q.memo == nullptr) return verify_pair_run(q, sub, sup, model_trust, stats);
  if (auto known = q.memo->verdict(sub, sup, model_trust)) return *known;
  // Classes under a counting check do not take a model's word (see verify_pair_run).
  if (model_trust && q.counting_classes.empty() && q.memo->model_refutes(sub, sup)) {
    stats.label_refuted += 1;
    return PairVerdict::NotSubsumed;
  }
  auto verdict = verify_pair_run(q, sub, sup, model_trust, stats);
  if (verdict) q.memo->record(sub, sup, *verdict, model_trust);
  return verdict;
}

}  // namespace kelmon::reasoner
