// The statistics record of one classification. Parallel items count into
// records of their own, merged on the calling thread after the loop.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>

namespace kelmon::reasoner {

struct ClassifyStats {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> undecided_pairs;
  tsl::robin_map<std::uint32_t, std::uint32_t> hyper_runs_by_class;
  std::map<std::string, std::uint64_t> dropped_axioms;
  std::uint64_t el_accepted = 0;
  std::uint64_t tableau_decided = 0;
  std::uint64_t diverged_bounded = 0;
  std::uint64_t stall_tail_skipped = 0;
  std::uint64_t tail_runs = 0;
  std::uint64_t tail_subsumed = 0;
  std::uint64_t tail_refuted = 0;
  std::uint64_t tail_timed_out = 0;
  std::uint64_t diverged_tail_runs = 0;
  std::uint64_t diverged_tail_subsumed = 0;
  std::uint64_t class_test_shortcut = 0;
  std::uint64_t class_test_tableau = 0;
  std::uint64_t timed_out_pairs = 0;
  std::uint64_t conjunction_subsumers = 0;
  std::uint64_t backfold_subsumers = 0;
  std::uint64_t hyper_unsat = 0;
  std::uint64_t hyper_sat_trusted = 0;
  std::uint64_t hyper_sat_too_fast = 0;
  std::uint64_t hyper_sat_overturned = 0;
  std::uint64_t label_refuted = 0;
  std::uint64_t label_supported = 0;
  std::uint64_t label_missing = 0;
  std::uint64_t label_refutation_verified = 0;
  std::uint64_t snapshot_tests = 0;
  std::uint64_t snapshot_unsat = 0;
  std::uint64_t snapshot_sat_trusted = 0;
  std::uint64_t snapshot_not_run = 0;
  std::uint64_t snapshot_fallthrough = 0;
  // Hypertableau stage durations: 0, 1, 2–4, 5–9, 10–19, 20–49, 50–99, 100–999, ≥1000 ms.
  std::array<std::uint64_t, 9> hyper_ms_histogram{};
  std::uint64_t label_ms = 0;
  std::uint64_t snapshot_build_ms = 0;
  std::uint64_t snapshot_test_ms = 0;
  std::uint64_t search_ms = 0;
  std::uint64_t saturation_ms = 0;
  std::uint64_t precheck_ms = 0;
  std::uint64_t prepare_ms = 0;
  std::uint64_t unsat_ms = 0;
  std::uint64_t sweep_ms = 0;
  std::uint64_t store_ms = 0;
  std::uint64_t other_ms = 0;
  std::uint64_t profile5_classes = 0;
  std::uint64_t other_profile_classes = 0;
  std::uint64_t counting_sat_overturned = 0;
  std::uint8_t probe_ran = 0;
  std::uint8_t inconsistent = 0;
  std::uint8_t partial_result = 0;
  std::uint8_t prep_deadline_expired = 0;
  std::uint8_t saturation_cut = 0;
  std::uint8_t fragment_kind = 2;  // unknown until set
  std::uint8_t saturation_only = 0;  // the answer was read off the saturation alone, whatever the fragment

  // Adds the per-item counters of `other`; timings, flags, the shortcut and
  // pass counters and the dropped map stay the run's own.
  void merge(ClassifyStats other);
};

}  // namespace kelmon::reasoner
