#include "reasoner/classify/disjointness.h"

#include <cstdio>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/classify/kernel_routes.h"
#include "reasoner/classify/preamble.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/fragment.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/parallel_loop.h"
#include "saturation/proof_store.h"

namespace kelmon::reasoner {

namespace {

struct PairItem {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  bool subsumed = false;
  bool from_saturation = false;
  bool timed_out = false;
};

Result<PairItem> disjointness_pair_test(std::uint64_t a, std::uint64_t b, const ReportableClasses& reportable,
                                        const sat::ElResult& saturation, Timeout per_pair_timeout,
                                        const PreparedReasoner& prepared) {
  invariant(a < reportable.ids.size() && b < reportable.ids.size(), "row indexes the reportable classes");
  const ClassId ca = reportable.ids[a];
  const ClassId cb = reportable.ids[b];
  if (saturation.subsumers.contains(ca.v, cb.v)) return PairItem{a, b, true, true, false};
  // Only a model or a clash decides; anything else leaves the pair open.
  if (!tableau_tests_available()) return PairItem{a, b, false, false, true};
  const Deadline deadline = deadline_after(Clock::now(), per_pair_timeout);
  TableauAnswer answer = tableau_disjoint_pair_test(prepared, ca, cb, deadline);
  if (!answer) return std::unexpected(std::move(answer.error()));
  if (!answer->has_value()) return PairItem{a, b, false, false, true};
  return PairItem{a, b, !**answer, false, false};
}

}  // namespace

Result<DisjointnessClassItem> disjointness_class_test(std::uint64_t row, const ReportableClasses& reportable,
                                                      const sat::ElResult& saturation, Timeout per_pair_timeout,
                                                      const PreparedReasoner& prepared) {
  invariant(row < reportable.ids.size(), "row indexes the reportable classes");
  const ClassId c = reportable.ids[row];
  if (saturation.unsat.test(c.v)) return DisjointnessClassItem{row, false, true, false};
  if (!tableau_tests_available()) return DisjointnessClassItem{row, true, false, true};
  const Deadline deadline = deadline_after(Clock::now(), unsat_probe_timeout(per_pair_timeout));
  if (expired(deadline)) return DisjointnessClassItem{row, true, false, true};
  TableauAnswer answer = tableau_class_test(prepared, c, deadline);
  if (!answer) return std::unexpected(std::move(answer.error()));
  if (!answer->has_value()) return DisjointnessClassItem{row, true, false, true};
  return DisjointnessClassItem{row, **answer, false, false};
}

Result<Classification> classify_for_disjointness(const InternalOntology& ir, Timeout per_pair_timeout) {
  const ReportableClasses reportable = reportable_classes(ir.vocabulary.classes);
  const std::uint64_t n = reportable.ids.size();
  const RowByIri row_by_iri = rows_by_iri(reportable);
  auto finish = [&](Classification result) {
    result.stats_mut().dropped_axioms = ir.dropped;
    return result;
  };
  auto inconsistent = [&](std::uint8_t kind) {
    return finish(inconsistent_classification(reportable.iris, row_by_iri, kind));
  };
  const sat::ElResult saturation = sat::el_saturate(ir, switch_flag(SwitchId::Proof)).first;
  PreambleOutcome preamble = classification_preamble(ir, reportable, row_by_iri, saturation);
  if (preamble.answer) return finish(std::move(*preamble.answer));
  const ConsistencyVerdict precheck = preamble.precheck;

  auto prepared_or = prepare_without_deadline(ir, std::nullopt);
  if (!prepared_or) return std::unexpected(std::move(prepared_or.error()));
  const PreparedReasoner& prepared = **prepared_or;
  ClassifyStats stats;
  stats.fragment_kind = fragment_kind(ir);

  auto pass1 = parallel_map<DisjointnessClassItem>(n, [&](std::size_t row) {
    return disjointness_class_test(row, reportable, saturation, per_pair_timeout, prepared);
  });
  if (!pass1) return std::unexpected(std::move(pass1.error()));
  tsl::robin_set<std::uint64_t> unsat_rows;
  for (const DisjointnessClassItem& item : *pass1) {
    (item.from_saturation ? stats.class_test_shortcut : stats.class_test_tableau) += 1;
    if (!item.satisfiable_or_open) unsat_rows.insert(item.row);
    if (item.undecided) {
      stats.timed_out_pairs += 1;
      stats.undecided_pairs.emplace_back(static_cast<std::uint32_t>(item.row), static_cast<std::uint32_t>(item.row));
    }
  }

  // Class tests that leave the asserted facts out cannot notice an
  // inconsistent ABox; when the pre-check could not rule one out, ask once.
  if (has_assertion(ir.axioms) && prepared.tbox_only && precheck == ConsistencyVerdict::Unknown) {
    switch (consistency_probe_within(prepared, per_pair_timeout, std::nullopt, stats)) {
      case ConsistencyVerdict::Inconsistent: return inconsistent(stats.fragment_kind);
      case ConsistencyVerdict::Unknown:
        stats.timed_out_pairs += 1;
        if (n > 0) stats.undecided_pairs.emplace_back(0, 0);
        break;
      case ConsistencyVerdict::Consistent: break;
    }
  }

  SubsumerStore store(n);
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
  for (std::uint64_t i = 0; i < n; ++i) {
    if (unsat_rows.contains(i)) continue;
    store.insert(i, i);
    for (std::uint64_t j = 0; j < n; ++j)
      if (j != i && !unsat_rows.contains(j)) pairs.emplace_back(i, j);
  }
  auto pass2 = parallel_map<PairItem>(pairs.size(), [&](std::size_t k) {
    return disjointness_pair_test(pairs[k].first, pairs[k].second, reportable, saturation, per_pair_timeout, prepared);
  });
  if (!pass2) return std::unexpected(std::move(pass2.error()));
  for (const PairItem& item : *pass2) {
    if (item.timed_out) {
      invariant(item.a <= UINT32_MAX && item.b <= UINT32_MAX, "class index fits in u32");
      stats.timed_out_pairs += 1;
      stats.undecided_pairs.emplace_back(static_cast<std::uint32_t>(item.a), static_cast<std::uint32_t>(item.b));
      continue;
    }
    (item.from_saturation ? stats.el_accepted : stats.tableau_decided) += 1;
    if (item.subsumed) store.insert(item.a, item.b);
  }

  if (consistency_probe(ir, prepared, reportable.row_of, unsat_rows, n, stats, false))
    return inconsistent(stats.fragment_kind);
  return finish(Classification(std::move(store), reportable.iris, std::move(stats), row_by_iri, std::move(unsat_rows)));
}

}  // namespace kelmon::reasoner
