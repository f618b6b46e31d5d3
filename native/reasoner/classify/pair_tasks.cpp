#include "reasoner/classify/pair_tasks.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include <oneapi/tbb/task_arena.h>

#include "common/invariant.h"
#include "reasoner/kernel/parallel_loop.h"

namespace kelmon::reasoner {

namespace {

std::uint32_t row_u32(std::uint64_t row) {
  invariant(row <= UINT32_MAX, "class index fits in u32");
  return static_cast<std::uint32_t>(row);
}

void record_row_undecided(ClassifyStats& stats, std::uint64_t r, std::uint64_t c) {
  stats.timed_out_pairs += 1;
  stats.undecided_pairs.emplace_back(row_u32(r), row_u32(c));
}

// Every row reachable from r over parents (r excluded unless on a cycle).
std::vector<bool> known_above(std::uint64_t r, const RowLists& parents) {
  std::vector<bool> seen(parents.size(), false);
  std::vector<std::uint64_t> stack(parents[r].begin(), parents[r].end());
  while (!stack.empty()) {
    std::uint64_t x = stack.back();
    stack.pop_back();
    if (seen[x]) continue;
    seen[x] = true;
    for (std::uint64_t y : parents[x])
      if (!seen[y]) stack.push_back(y);
  }
  return seen;
}

enum class Step : std::uint8_t { Accept, Reject };

Result<Step> test_candidate(const SearchEnv& env, std::uint64_t r, ClassId s, ClassId d, ClassifyStats& stats) {
  const ClassLabel* label = r < env.labels.size() ? &env.labels[r] : nullptr;
  bool hint = true;
  if (label != nullptr && std::holds_alternative<LabelUnsat>(*label)) return Step::Accept;
  if (const auto* sat = label ? std::get_if<LabelSat>(label) : nullptr) {
    if (sat->label.contains(d.v)) {
      stats.label_supported += 1;
      if (label_entails(*label, d.v)) return Step::Accept;
    } else if (!env.verify_refutations) {
      stats.label_refuted += 1;
      return Step::Reject;
    } else {
      stats.label_refutation_verified += 1;
      hint = false;
    }
  } else {
    stats.label_missing += 1;
  }
  auto verdict = verify_pair(env.query, s, d, hint, stats);
  if (!verdict) return std::unexpected(std::move(verdict.error()));
  return *verdict == PairVerdict::Subsumed ? Step::Accept : Step::Reject;
}

Result<SearchResult> search_one(std::uint64_t r, const SearchEnv& env) {
  const ReportableClasses& rep = env.query.reportable;
  const ClassId s = rep.ids[r];
  SearchResult out;
  out.row = r;
  if (expired(env.query.deadline)) {
    record_row_undecided(out.stats, r, r);
    return out;
  }
  const std::size_t n = rep.ids.size();
  std::vector<bool> known;
  if (env.tier_of != nullptr) known = known_above(r, env.parents);
  std::vector<std::uint64_t> worklist(env.roots.begin(), env.roots.end());
  std::vector<bool> visited(n, false);
  std::vector<std::uint64_t> found;
  std::vector<std::uint64_t> wave;
  std::vector<Step> steps;
  std::vector<std::size_t> tests;
  // The search goes down in waves: every row the worklist holds is decided
  // before the children of the accepted ones are looked at. A row is tested
  // exactly when an accepted row (or a root) leads to it, whatever the order,
  // so the tests of one wave can run side by side on workers left idle by the
  // other rows of the batch.
  while (!worklist.empty()) {
    wave.clear();
    while (!worklist.empty()) {
      const std::uint64_t c = worklist.back();
      worklist.pop_back();
      if (c == r || visited[c]) continue;
      visited[c] = true;
      wave.push_back(c);
    }
    if (wave.empty()) break;
    if (expired(env.query.deadline)) {
      record_row_undecided(out.stats, r, wave.front());
      break;
    }
    steps.assign(wave.size(), Step::Reject);
    tests.clear();
    for (std::size_t k = 0; k < wave.size(); ++k) {
      const std::uint64_t c = wave[k];
      if (env.saturation.contains(s.v, rep.ids[c].v)) {
        out.stats.el_accepted += 1;
        steps[k] = Step::Accept;
      } else if (env.tier_of != nullptr && known[c]) {
        steps[k] = Step::Accept;
      } else if (env.tier_of == nullptr || (*env.tier_of)[c] >= (*env.tier_of)[r]) {
        tests.push_back(k);
      }  // else visible to the first search, which decided it
    }
    bool cut = false;
    if (tests.size() == 1) {
      const std::uint64_t c = wave[tests[0]];
      auto tested = test_candidate(env, r, s, rep.ids[c], out.stats);
      if (!tested) return std::unexpected(std::move(tested.error()));
      steps[tests[0]] = *tested;
    } else if (!tests.empty()) {
      std::vector<ClassifyStats> item_stats(tests.size());
      std::atomic<bool> deadline_met{false};
      FirstErrorSlot slot;
      StopFlag stop;
      // Isolated: a worker waiting here takes no other row of the batch.
      oneapi::tbb::this_task_arena::isolate([&] {
        parallel_items(tests.size(), stop, [&](std::size_t i) {
          const std::size_t k = tests[i];
          if (expired(env.query.deadline)) {
            if (!deadline_met.exchange(true)) record_row_undecided(item_stats[i], r, wave[k]);
            return true;
          }
          auto tested = record_first_error(slot, test_candidate(env, r, s, rep.ids[wave[k]], item_stats[i]));
          if (!tested) return false;
          steps[k] = *tested;
          return true;
        });
      });
      if (auto error = slot.take()) return std::unexpected(std::move(*error));
      for (ClassifyStats& st : item_stats) out.stats.merge(std::move(st));
      cut = deadline_met.load();
    }
    for (std::size_t k = 0; k < wave.size(); ++k) {
      if (steps[k] == Step::Reject) continue;
      const std::uint64_t c = wave[k];
      for (std::uint64_t child : env.children[c])
        if (!visited[child]) worklist.push_back(child);
      found.push_back(c);
    }
    if (cut) break;
  }
  out.direct = direct_among_found(found, rep, env.saturation, env.parents);
  return out;
}

}  // namespace

std::vector<std::uint64_t> direct_among_found(const std::vector<std::uint64_t>& found, const ReportableClasses& reportable,
                                              const sat::SubsumerTable& saturation, const RowLists& parents) {
  auto below = [&](std::uint64_t f, std::uint64_t e) {
    return saturation.contains(reportable.ids[f].v, reportable.ids[e].v) ||
           std::find(parents[f].begin(), parents[f].end(), e) != parents[f].end();
  };
  std::vector<std::uint64_t> out;
  for (std::uint64_t e : found) {
    // Only a row strictly below e hides it: of two equivalent rows both stay.
    bool hidden = std::any_of(found.begin(), found.end(),
                              [&](std::uint64_t f) { return f != e && below(f, e) && !below(e, f); });
    if (!hidden) out.push_back(e);
  }
  return out;
}

Result<std::vector<SearchResult>> subsumer_search_task(const std::vector<std::uint64_t>& batch, const SearchEnv& env) {
  std::vector<std::optional<SearchResult>> slots(batch.size());
  StopFlag stop;
  auto error = parallel_first_error(
      batch.size(), stop, [&](std::size_t i) { return search_one(batch[i], env); },
      [&](std::size_t i, SearchResult&& v) { slots[i] = std::move(v); });
  if (error) return std::unexpected(std::move(*error));
  std::vector<SearchResult> out;
  out.reserve(batch.size());
  for (auto& v : slots) out.push_back(std::move(*v));
  return out;
}

namespace {

// One pair as the sweeps ask it; with retry_unbounded an Undecided answer of
// the bounded first try is asked again without a stage bound, and only the
// counts of the answer kept are reported.
bool sweep_pair(const PairQuery& q, std::uint64_t r, std::uint64_t c, bool hint, bool retry_unbounded,
                ClassifyStats& stats) {
  ClassifyStats first;
  auto verdict = verify_pair(q, q.reportable.ids[r], q.reportable.ids[c], hint, first);
  if (retry_unbounded && (!verdict || *verdict == PairVerdict::Undecided)) {
    PairQuery unbounded{q.prepared, q.reportable, std::nullopt, std::nullopt, q.counting_classes, q.memo};
    first = ClassifyStats();
    verdict = verify_pair(unbounded, q.reportable.ids[r], q.reportable.ids[c], hint, first);
  }
  if (!verdict) {
    first.timed_out_pairs += 1;
    first.undecided_pairs.emplace_back(row_u32(r), row_u32(c));
  }
  stats.merge(std::move(first));
  return verdict && *verdict == PairVerdict::Subsumed;
}

}  // namespace

std::vector<SweepResult> superclass_sweep_task(const std::vector<std::uint64_t>& rows, const SweepEnv& env) {
  const auto& row_of = env.query.reportable.row_of;
  invariant(env.candidate.v < row_of.size() && row_of[env.candidate.v].has_value(), "index in range");
  const std::uint64_t c = *row_of[env.candidate.v];
  // Most rows are settled by their labels; only the rest go to the workers,
  // so that a sweep over every row costs no task and no stats per row.
  std::vector<SweepResult> out;
  std::vector<std::pair<std::uint64_t, bool>> tests;  // row, label hint
  for (std::uint64_t r : rows) {
    const ClassLabel* label = r < env.labels.size() ? &env.labels[r] : nullptr;
    const auto* sat = label ? std::get_if<LabelSat>(label) : nullptr;
    if (env.verify_all) {
      tests.emplace_back(r, false);
    } else if (label != nullptr && std::holds_alternative<LabelUnsat>(*label)) {
      out.push_back({r, true, {}});
    } else if (sat == nullptr) {
      tests.emplace_back(r, true);
    } else if (!sat->label.contains(env.candidate.v)) {
      if (env.verify_refutations) tests.emplace_back(r, false);
    } else if (label_entails(*label, env.candidate.v)) {
      out.push_back({r, true, {}});
    } else {
      tests.emplace_back(r, true);
    }
  }
  const std::size_t first = out.size();
  out.resize(first + tests.size());
  StopFlag stop;
  parallel_items(tests.size(), stop, [&](std::size_t i) {
    const auto [r, hint] = tests[i];
    SweepResult& res = out[first + i];
    res.row = r;
    res.subsumed = sweep_pair(env.query, r, c, hint, env.retry_unbounded, res.stats);
    return true;
  });
  return out;
}

std::vector<PairResult> pair_list_task(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs,
                                       const PairQuery& query, bool retry_unbounded) {
  std::vector<PairResult> out(pairs.size());
  StopFlag stop;
  parallel_items(pairs.size(), stop, [&](std::size_t i) {
    auto [a, b] = pairs[i];
    invariant(a < query.reportable.ids.size() && b < query.reportable.ids.size(), "index in range");
    out[i].sub = a;
    out[i].sup = b;
    out[i].subsumed = sweep_pair(query, a, b, true, retry_unbounded, out[i].stats);
    return true;
  });
  return out;
}

ClassifyStats verify_ahead_task(const std::vector<std::pair<std::uint64_t, std::uint64_t>>& pairs,
                                const PairQuery& query) {
  invariant(query.memo != nullptr, "verify ahead needs a memo");
  std::vector<std::optional<ClassifyStats>> kept(pairs.size());
  StopFlag stop;
  parallel_items(pairs.size(), stop, [&](std::size_t i) {
    if (expired(query.deadline)) return true;
    auto [a, b] = pairs[i];
    invariant(a < query.reportable.ids.size() && b < query.reportable.ids.size(), "index in range");
    ClassifyStats stats;
    auto verdict = verify_pair(query, query.reportable.ids[a], query.reportable.ids[b], true, stats);
    if (verdict && *verdict != PairVerdict::Undecided) kept[i] = std::move(stats);
    return true;
  });
  ClassifyStats out;
  for (auto& s : kept)
    if (s) out.merge(std::move(*s));
  return out;
}

}  // namespace kelmon::reasoner
