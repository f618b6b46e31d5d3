// The parallel tasks that put candidate pairs to verify_pair: the top-down
// search of the subsumers of each class of a tier, one candidate superclass
// against a list of classes, an explicit list of pairs, and the pairs the
// search is expected to ask, ahead of it.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "reasoner/classify/class_label.h"
#include "reasoner/classify/classify_stats.h"
#include "reasoner/classify/verify_pair.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

using RowLists = std::vector<std::vector<std::uint64_t>>;

struct SearchResult {
  std::vector<std::uint64_t> direct;
  std::uint64_t row = 0;
  ClassifyStats stats;
};
struct SweepResult {
  std::uint64_t row = 0;
  bool subsumed = false;
  ClassifyStats stats;
};
struct PairResult {
  std::uint64_t sub = 0;
  std::uint64_t sup = 0;
  bool subsumed = false;
  ClassifyStats stats;
};

struct SearchEnv {
  PairQuery query;
  const sat::SubsumerTable& saturation;
  const RowLists& parents;
  const RowLists& children;
  const std::vector<std::uint64_t>& roots;
  const std::vector<ClassLabel>& labels;
  bool verify_refutations;
  // The search again after the last tier: per row its tier, so that candidates
  // the first search already saw are not tested twice. Null in the first search.
  const std::vector<std::uint32_t>* tier_of = nullptr;
};

// Results in batch order, or the first error of an item.
Result<std::vector<SearchResult>> subsumer_search_task(const std::vector<std::uint64_t>& batch, const SearchEnv& env);

// The rows of `found` with no other found row strictly below them.
std::vector<std::uint64_t> direct_among_found(const std::vector<std::uint64_t>& found, const ReportableClasses& reportable,
                                              const sat::SubsumerTable& saturation, const RowLists& parents);

struct SweepEnv {
  PairQuery query;
  bool verify_all;
  ClassId candidate;
  const std::vector<ClassLabel>& labels;
  bool verify_refutations;
  bool retry_unbounded;  // an Undecided answer is tried again without a stage bound
};

// One result per row found subsumed or tested; a row its label rejects has
// none. Errors and undecided answers count as not subsumed (undecided ones are
// recorded).
std::vector<SweepResult> superclass_sweep_task(const std::vector<std::uint64_t>& rows, const SweepEnv& env);

std::vector<PairResult> pair_list_task(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs,
                                       const PairQuery& query, bool retry_unbounded);

// Puts the pairs to verify_pair ahead of the search that will ask them, so
// that runs the search would make one tier after another run side by side;
// the query's memo keeps every definite verdict for the search to find. A
// pair left undecided is left for the search to ask again, so the stats of
// its run are dropped: the search may never need it. The stats of the
// definite runs are returned, merged.
ClassifyStats verify_ahead_task(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs,
                                const PairQuery& query);

}  // namespace kelmon::reasoner
