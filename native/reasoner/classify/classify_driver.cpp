#include "reasoner/classify/classify_driver.h"

#include <cstdio>
#include <string>

#include "common/invariant.h"
#include "common/switches.h"
#include "core/convert/convert.h"
#include "reasoner/classify/class_unsat_test.h"
#include "reasoner/classify/eli_probe.h"
#include "reasoner/classify/kernel_routes.h"
#include "reasoner/classify/label_cache.h"
#include "reasoner/classify/pair_phases.h"
#include "reasoner/classify/preamble.h"
#include "reasoner/classify/resident_memory.h"
#include "reasoner/fragment.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/parallel_loop.h"
#include "reasoner/kernel/worker_pool.h"
#include "saturation/proof_store.h"

namespace kelmon::reasoner {

namespace {

std::uint64_t minus(std::uint64_t a, std::uint64_t b) { return a > b ? a - b : 0; }

sat::ElResult saturate_fully(const InternalOntology& ir) {
  return sat::el_saturate(ir, switch_flag(SwitchId::Proof)).first;
}

// A saturation cut short is kept only when it already says something about
// the reportable classes; an empty partial closure is recomputed instead.
bool partial_saturation_informative(const ReportableClasses& reportable, const sat::ElResult& saturation) {
  for (std::uint64_t r = 0; r < reportable.ids.size(); ++r) {
    const ClassId c = reportable.ids[r];
    if (saturation.unsat.test(c.v)) return true;
    for (std::uint32_t id : saturation.subsumers.row_sorted(c.v))
      if (id != c.v && id < reportable.row_of.size() && reportable.row_of[id]) return true;
  }
  return false;
}

// One marker for a question the run could not settle (such as consistency):
// the result then never reads as complete.
void mark_unsettled(ClassifyStats& stats, std::uint64_t n) {
  stats.timed_out_pairs += 1;
  if (n > 0) stats.undecided_pairs.emplace_back(0, 0);
}

void report_clash(const AboxClash& clash) {
  if (classify_tracing()) std::fprintf(stderr, "abox_check: inconsistent \u2014 %s\n", debug_text(clash).c_str());
}

// Rows below an unsatisfiable class in the saturation are unsatisfiable too.
void close_unsat_rows(const ReportableClasses& reportable, const sat::ElResult& saturation,
                      tsl::robin_set<std::uint64_t>& unsat_rows) {
  if (unsat_rows.empty()) return;
  std::vector<std::uint64_t> added;
  for (std::uint64_t r = 0; r < reportable.ids.size(); ++r) {
    if (unsat_rows.contains(r)) continue;
    for (std::uint32_t id : saturation.subsumers.row_sorted(reportable.ids[r].v)) {
      if (id < reportable.row_of.size() && reportable.row_of[id] && unsat_rows.contains(*reportable.row_of[id])) {
        added.push_back(r);
        break;
      }
    }
  }
  unsat_rows.insert(added.begin(), added.end());
}

}  // namespace

std::pair<bool, bool> prep_deadline_pending(Instant start, Clock::duration global) {
  if (!switch_flag(SwitchId::PrepDeadline)) return {false, false};
  const bool pending = Clock::now() < *deadline_after(start, global);
  return {pending, !pending};
}

Classification trace_prep_deadline_expired(const ReportableClasses& reportable, const RowByIri& row_by_iri,
                                           const sat::ElResult& saturation, std::string_view phase) {
  if (classify_tracing())
    std::fprintf(stderr, "classify: prep deadline expired in %.*s \u2014 partial EL closure returned\n",
                 static_cast<int>(phase.size()), phase.data());
  Classification result = taxonomy_from_saturation(reportable, saturation, row_by_iri, 2);
  ClassifyStats& stats = result.stats_mut();
  stats.partial_result = 1;
  mark_unsettled(stats, reportable.ids.size());
  return result;
}

namespace {

struct FullInput {
  const InternalOntology& ir;
  const ReportableClasses& reportable;
  const RowByIri& row_by_iri;
  const sat::ElResult& saturation;
  Timeout per_pair_timeout;
  Deadline deadline;
  Deadline prep_deadline;
  Instant start;
  std::uint64_t saturation_ms;
  std::uint64_t precheck_ms;
};

// The classification after the preamble: prepared reasoner, labels, per-class
// tests, pair phases and the subsumer store.
Result<Classification> classify_full(const FullInput& in, PendingPrecheck& precheck) {
  const InternalOntology& ir = in.ir;
  const ReportableClasses& reportable = in.reportable;
  const sat::ElResult& saturation = in.saturation;
  const Timeout per_pair_timeout = in.per_pair_timeout;
  const Deadline deadline = in.deadline;
  const Instant start = in.start;
  const std::uint64_t n = reportable.ids.size();
  auto inconsistent_result = [&](std::uint8_t kind) {
    return inconsistent_classification(reportable.iris, in.row_by_iri, kind);
  };

  trace_rss("before_prepared");
  const Instant t_prep = Clock::now();
  auto outcome = from_internal_with_deadline(ir, in.prep_deadline, saturation);
  if (!outcome) return std::unexpected(std::move(outcome.error()));
  if (outcome->aborted()) return trace_prep_deadline_expired(reportable, in.row_by_iri, saturation, "from_internal");
  const PreparedReasoner& prepared = *outcome->reasoner;
  trace_rss("after_prepared");
  // A pre-check that has proved inconsistency by a phase boundary ends the
  // work: the caller answers inconsistent whatever this returns.
  if (precheck.proved_inconsistent()) return inconsistent_result(fragment_kind(ir));
  if (const auto& clash = prepared.abox_clash()) {
    report_clash(*clash);
    return inconsistent_result(fragment_kind(ir));
  }

  ClassifyStats stats;
  stats.fragment_kind = fragment_kind(ir);
  stats.saturation_ms = in.saturation_ms;
  stats.precheck_ms = in.precheck_ms;
  stats.prepare_ms = elapsed_ms(t_prep);

  const std::vector<ClassLabel> labels =
      label_cache_phase({prepared, reportable, saturation, per_pair_timeout, deadline, ir}, stats);
  trace_rss("after_label_cache");

  if (precheck.proved_inconsistent()) return inconsistent_result(stats.fragment_kind);
  const Instant t_unsat = Clock::now();
  std::vector<ClassTestResult> tests(n);
  {
    const ClassTestEnv env{reportable, saturation, labels, prepared, deadline, per_pair_timeout};
    StopFlag stop;
    parallel_items(n, stop, [&](std::size_t row) {
      tests[row] = class_unsat_test(row, env);
      return true;
    });
  }
  tsl::robin_set<std::uint64_t> unsat_rows;
  for (const ClassTestResult& t : tests) {
    (t.shortcut ? stats.class_test_shortcut : stats.class_test_tableau) += 1;
    if (t.verdict == ClassVerdict::Unsatisfiable) unsat_rows.insert(t.row);
    if (t.verdict == ClassVerdict::Undecided) {
      stats.timed_out_pairs += 1;
      const std::uint32_t r = static_cast<std::uint32_t>(t.row);
      stats.undecided_pairs.emplace_back(r, r);
    }
  }
  close_unsat_rows(reportable, saturation, unsat_rows);
  stats.unsat_ms = elapsed_ms(t_unsat);

  // Per-class tests that leave the asserted facts out cannot notice an
  // inconsistent ABox; when the pre-check could not rule one out, ask once.
  if (has_assertion(ir.axioms) && prepared.tbox_only && precheck.verdict() == ConsistencyVerdict::Unknown) {
    switch (consistency_probe_within(prepared, per_pair_timeout, deadline, stats)) {
      case ConsistencyVerdict::Inconsistent: return inconsistent_result(stats.fragment_kind);
      case ConsistencyVerdict::Unknown: mark_unsettled(stats, n); break;
      case ConsistencyVerdict::Consistent: break;
    }
  }

  std::uint64_t no_verdict = 0;
  for (const ClassLabel& l : labels) no_verdict += std::holds_alternative<LabelNoVerdict>(l) ? 1 : 0;
  if (switch_flag(SwitchId::EarlyInconsistencyProbe) && n >= 1 && 4 * no_verdict >= n) {
    if (consistency_probe(ir, prepared, reportable.row_of, unsat_rows, n, stats, true))
      return inconsistent_result(stats.fragment_kind);
  }

  if (precheck.proved_inconsistent()) return inconsistent_result(stats.fragment_kind);
  auto phases = run_pair_phases({ir, reportable, saturation, prepared, labels, unsat_rows, per_pair_timeout, deadline},
                                stats);
  if (!phases) return std::unexpected(std::move(phases.error()));
  const RowLists& parents = phases->parents;

  const Instant t_store = Clock::now();
  SubsumerStore store(n);
  std::vector<std::uint64_t> marks(n, 0);
  std::uint64_t stamp = 0;
  std::vector<std::uint32_t> row;
  for (std::uint64_t r = 0; r < n; ++r) {
    if (unsat_rows.contains(r)) continue;
    store.insert(r, r);
    saturation.subsumers.row_into(reportable.ids[r].v, row);
    for (std::uint32_t id : row)
      if (id < reportable.row_of.size() && reportable.row_of[id] && !unsat_rows.contains(*reportable.row_of[id]))
        store.insert(r, *reportable.row_of[id]);
    ++stamp;
    std::vector<std::uint64_t> stack(parents[r].begin(), parents[r].end());
    while (!stack.empty()) {
      const std::uint64_t x = stack.back();
      stack.pop_back();
      if (marks[x] == stamp) continue;
      marks[x] = stamp;
      store.insert(r, x);
      for (std::uint64_t y : parents[x])
        if (marks[y] != stamp) stack.push_back(y);
    }
  }
  stats.store_ms = elapsed_ms(t_store);

  stats.profile5_classes = prepared.profile_counts[0];
  stats.other_profile_classes = prepared.profile_counts[1];
  std::uint64_t other = elapsed_ms(start);
  for (std::uint64_t part : {stats.saturation_ms, stats.precheck_ms, stats.prepare_ms, stats.label_ms, stats.unsat_ms,
                             stats.search_ms, stats.sweep_ms, stats.store_ms})
    other = minus(other, part);
  stats.other_ms = other;

  if (consistency_probe(ir, prepared, reportable.row_of, unsat_rows, n, stats, false))
    return inconsistent_result(stats.fragment_kind);
  return Classification(std::move(store), reportable.iris, std::move(stats), in.row_by_iri, std::move(unsat_rows));
}

}  // namespace

Result<Classification> classify_main(const InternalOntology& ir, Timeout per_pair_timeout, Deadline deadline) {
  const Instant start = Clock::now();
  trace_rss("entry");
  const ReportableClasses reportable = reportable_classes(ir.vocabulary.classes);
  const RowByIri row_by_iri = rows_by_iri(reportable);
  auto inconsistent_result = [&](std::uint8_t kind) {
    return inconsistent_classification(reportable.iris, row_by_iri, kind);
  };

  if (!deadline && per_pair_timeout) {
    if (auto ms = switch_number_if_set(SwitchId::AggregateDeadlineMs); ms && *ms != 0)
      deadline = deadline_after(start, timeout_from_ms(*ms));
  }

  Deadline prep_deadline;
  bool cut = false;
  Instant t0 = Clock::now();
  sat::ElResult saturation;
  if (deadline && switch_flag(SwitchId::PrepDeadline) && !expired(deadline)) {
    prep_deadline = deadline;
    t0 = Clock::now();
    std::tie(saturation, cut) = sat::el_saturate_with_deadline(ir, deadline);
  } else {
    t0 = Clock::now();
    saturation = saturate_fully(ir);
  }
  const std::uint64_t saturation_ms = elapsed_ms(t0);
  trace_rss("after_saturate");
  if (cut) {
    if (partial_saturation_informative(reportable, saturation))
      return trace_prep_deadline_expired(reportable, row_by_iri, saturation, "saturate");
    saturation = saturate_fully(ir);
  }

  // An answer settled before the full classification: only saturation and
  // the pre-check spent time on it.
  auto early_answer = [&](Classification result, std::uint64_t precheck_ms) {
    ClassifyStats& stats = result.stats_mut();
    stats.saturation_ms = saturation_ms;
    stats.precheck_ms = precheck_ms;
    stats.saturation_cut = cut ? 1 : 0;
    stats.other_ms = minus(minus(elapsed_ms(start), saturation_ms), precheck_ms);
    return result;
  };

  const Instant t_pre = Clock::now();
  PreambleOutcome preamble = classification_preamble(ir, reportable, row_by_iri, saturation);
  const ConsistencyVerdict precheck = preamble.precheck;
  if (preamble.answer) return early_answer(std::move(*preamble.answer), elapsed_ms(t_pre));

  PendingPrecheck wedge(precheck);
  if (preamble.wedge_pending) wedge.start(ir);
  const FullInput in{ir, reportable, row_by_iri, saturation, per_pair_timeout, deadline, prep_deadline, start,
                     saturation_ms, elapsed_ms(t_pre)};
  auto result = classify_full(in, wedge);
  // Whatever the classification found, a knowledge base the pre-check
  // proves inconsistent gets the inconsistent answer, as when it ran first.
  if (wedge.verdict() == ConsistencyVerdict::Inconsistent)
    return early_answer(inconsistent_result(fragment_kind(ir)), in.precheck_ms + wedge.run_ms());
  if (result) result->stats_mut().precheck_ms += wedge.run_ms();
  return result;
}

Result<Classification> classify_internal(const InternalOntology& ir, Timeout per_pair_timeout, Deadline deadline) {
  if (switch_flag(SwitchId::CbEliProbe)) std::fputs(eli_report_line(ir).c_str(), stderr);
  auto result = classify_main(ir, per_pair_timeout, deadline);
  if (!result) return result;
  result->stats_mut().dropped_axioms = ir.dropped;
  return result;
}

Result<Classification> run_classify(const owl::LoadedOntology& loaded, std::optional<std::uint64_t> per_pair_ms,
                                    std::optional<std::uint64_t> global_ms, bool saturation_only) {
  const Timeout per_pair = timeout_from_ms(per_pair_ms);
  const Timeout global = timeout_from_ms(global_ms);
  if (saturation_only) {
    InternalOntology ir = convert_ontology(loaded.axioms);
    return classify_saturation_only(ir);
  }
  init_global_pool();
  Instant start = Clock::now();
  InternalOntology ir = convert_ontology(loaded.axioms);
  Deadline deadline;
  bool expired_after_conversion = false;
  if (global) {
    auto [pending, expired_now] = prep_deadline_pending(start, *global);
    expired_after_conversion = expired_now;
    if (!pending) start = Clock::now();
    deadline = deadline_after(start, global);
  }
  auto result = classify_internal(ir, per_pair, deadline);
  if (!result) return result;
  result->stats_mut().prep_deadline_expired = expired_after_conversion ? 1 : 0;
  return result;
}

}  // namespace kelmon::reasoner
