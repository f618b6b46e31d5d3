#include "reasoner/classify/classify_stats.h"

namespace kelmon::reasoner {

void ClassifyStats::merge(ClassifyStats other) {
  el_accepted += other.el_accepted;
  tableau_decided += other.tableau_decided;
  diverged_bounded += other.diverged_bounded;
  stall_tail_skipped += other.stall_tail_skipped;
  tail_runs += other.tail_runs;
  tail_subsumed += other.tail_subsumed;
  tail_refuted += other.tail_refuted;
  tail_timed_out += other.tail_timed_out;
  diverged_tail_runs += other.diverged_tail_runs;
  diverged_tail_subsumed += other.diverged_tail_subsumed;
  timed_out_pairs += other.timed_out_pairs;
  hyper_unsat += other.hyper_unsat;
  hyper_sat_trusted += other.hyper_sat_trusted;
  hyper_sat_too_fast += other.hyper_sat_too_fast;
  hyper_sat_overturned += other.hyper_sat_overturned;
  label_refuted += other.label_refuted;
  label_supported += other.label_supported;
  label_missing += other.label_missing;
  label_refutation_verified += other.label_refutation_verified;
  snapshot_tests += other.snapshot_tests;
  snapshot_unsat += other.snapshot_unsat;
  snapshot_sat_trusted += other.snapshot_sat_trusted;
  snapshot_not_run += other.snapshot_not_run;
  snapshot_fallthrough += other.snapshot_fallthrough;
  for (size_t i = 0; i < hyper_ms_histogram.size(); ++i) hyper_ms_histogram[i] += other.hyper_ms_histogram[i];
  counting_sat_overturned += other.counting_sat_overturned;
  undecided_pairs.insert(undecided_pairs.end(), other.undecided_pairs.begin(), other.undecided_pairs.end());
  for (const auto& [cls, count] : other.hyper_runs_by_class) hyper_runs_by_class[cls] += count;
}

}  // namespace kelmon::reasoner
