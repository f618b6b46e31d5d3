#include "reasoner/classify/pair_phases.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "common/invariant.h"
#include "common/switches.h"
#include "reasoner/classify/resident_memory.h"

namespace kelmon::reasoner {

namespace {

std::uint32_t row_u32(std::uint64_t row) {
  invariant(row <= UINT32_MAX, "class index fits in u32");
  return static_cast<std::uint32_t>(row);
}

bool contains(const std::vector<std::uint64_t>& list, std::uint64_t x) {
  return std::find(list.begin(), list.end(), x) != list.end();
}

void link(PairPhaseOutput& out, std::uint64_t sub, std::uint64_t sup) {
  out.parents[sub].push_back(sup);
  out.children[sup].push_back(sub);
}

// Every row reachable from `start` through children.
tsl::robin_set<std::uint64_t> known_below(const RowLists& children, std::uint64_t start) {
  tsl::robin_set<std::uint64_t> known;
  std::vector<std::uint64_t> stack(children[start].begin(), children[start].end());
  while (!stack.empty()) {
    std::uint64_t x = stack.back();
    stack.pop_back();
    if (!known.insert(x).second) continue;
    for (std::uint64_t y : children[x]) stack.push_back(y);
  }
  return known;
}

ClassSet counting_classes_of(const PairPhaseInput& in) {
  ClassSet out;
  const ClassSet& keys = in.prepared.key_card_classes;
  if (!switch_flag(SwitchId::CountingPairVerify) || keys.empty()) return out;
  for (ClassId c : in.reportable.ids) {
    bool related = keys.contains(c);
    for (std::uint32_t id : related ? std::vector<std::uint32_t>{} : in.saturation.subsumers.row_sorted(c.v))
      if (keys.contains(ClassId{id})) related = true;
    if (related) out.insert(c);
  }
  return out;
}

struct Phases {
  const PairPhaseInput& in;
  ClassifyStats& stats;
  PairPhaseOutput out;
  ClassSet counting;
  bool verify_refutations = false;
  mutable PairMemo memo;
  PairQuery query(Timeout timeout) const {
    return {in.prepared, in.reportable, timeout, in.deadline, counting, &memo};
  }
  bool el_holds(std::uint64_t r, std::uint32_t c) const {
    return in.saturation.subsumers.contains(in.reportable.ids[r].v, c);
  }
  bool unsat(std::uint64_t r) const { return in.unsat_rows.contains(r); }
};

// The pairs the search will test because a label holds the candidate without
// proving it: the tiers would run them one after another.
std::vector<std::pair<std::uint64_t, std::uint64_t>> label_supported_pairs(const Phases& ph) {
  const PairPhaseInput& in = ph.in;
  const auto& row_of = in.reportable.row_of;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
  // The mode that checks every label refutation keeps the search's own order of runs.
  if (ph.verify_refutations) return pairs;
  for (std::uint64_t r = 0; r < in.reportable.ids.size() && r < in.labels.size(); ++r) {
    const auto* sat = std::get_if<LabelSat>(&in.labels[r]);
    if (sat == nullptr || sat->entailed || ph.unsat(r)) continue;
    for (std::uint32_t c : sat->label) {
      if (c >= row_of.size() || !row_of[c]) continue;
      const std::uint64_t s = *row_of[c];
      if (s == r || ph.unsat(s) || ph.el_holds(r, c) || label_entails(in.labels[r], c)) continue;
      pairs.emplace_back(r, s);
    }
  }
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

Result<void> tier_search(Phases& ph) {
  const PairPhaseInput& in = ph.in;
  const auto tiers = subsumer_tiers(in.reportable, in.saturation.subsumers, in.unsat_rows);
  if (const auto ahead = label_supported_pairs(ph); ahead.size() >= 2)
    ph.stats.merge(verify_ahead_task(ahead, ph.query(in.per_pair_timeout)));
  std::vector<std::uint32_t> tier_of(in.reportable.ids.size(), UINT32_MAX);
  std::uint64_t processed = 0;
  const std::uint64_t every = trace_rss_every();
  for (std::size_t t = 0; t < tiers.size(); ++t) {
    for (std::uint64_t r : tiers[t]) tier_of[r] = static_cast<std::uint32_t>(t);
    SearchEnv env{ph.query(in.per_pair_timeout), in.saturation.subsumers, ph.out.parents, ph.out.children,
                  ph.out.roots, in.labels, ph.verify_refutations};
    auto results = subsumer_search_task(tiers[t], env);
    if (!results) return std::unexpected(std::move(results.error()));
    for (SearchResult& res : *results) {
      ph.stats.merge(std::move(res.stats));
      for (std::uint64_t x : res.direct) ph.out.children[x].push_back(res.row);
      if (res.direct.empty()) ph.out.roots.push_back(res.row);
      ph.out.parents[res.row] = std::move(res.direct);
      ++processed;
      if (trace_rss_enabled() && processed % every == 0)
        std::fprintf(stderr, "[rss] pair=%llu rss=%.2fGB\n", static_cast<unsigned long long>(processed),
                     resident_memory_gb());
    }
  }
  // A row sees only the rows of earlier tiers, so a subsumer in its own or a
  // later tier is found by nothing but a Sat label; rows without one (all
  // rows when the same-tier pass is off) search again in the finished forest.
  const bool same_tier = switch_flag(SwitchId::ClassifySameTier);
  std::vector<std::uint64_t> again;
  for (const auto& tier : tiers)
    for (std::uint64_t r : tier) {
      const bool sat_label = r < in.labels.size() && std::holds_alternative<LabelSat>(in.labels[r]);
      if (!same_tier || !sat_label) again.push_back(r);
    }
  std::sort(again.begin(), again.end());
  SearchEnv env{ph.query(in.per_pair_timeout), in.saturation.subsumers, ph.out.parents, ph.out.children,
                ph.out.roots, in.labels, ph.verify_refutations, &tier_of};
  auto results = subsumer_search_task(again, env);
  if (!results) return std::unexpected(std::move(results.error()));
  for (SearchResult& res : *results) {
    ph.stats.merge(std::move(res.stats));
    for (std::uint64_t x : res.direct)
      if (!contains(ph.out.parents[res.row], x)) link(ph.out, res.row, x);
  }
  return {};
}

tsl::robin_set<std::uint64_t> defined_rows_of(const Phases& ph) {
  tsl::robin_set<std::uint64_t> defined;
  const ConceptPool& pool = ph.in.ir.concepts;
  for (const Axiom& axiom : ph.in.ir.axioms) {
    const auto* eq = std::get_if<EquivalentClasses>(&axiom);
    if (eq == nullptr) continue;
    bool complex = std::any_of(eq->members.begin(), eq->members.end(),
                               [&](ConceptId m) { return !std::holds_alternative<Atomic>(pool.get(m)); });
    if (!complex) continue;
    for (ConceptId m : eq->members) {
      const auto* a = std::get_if<Atomic>(&pool.get(m));
      if (a == nullptr || a->cls.v >= ph.in.reportable.row_of.size()) continue;
      if (auto r = ph.in.reportable.row_of[a->cls.v]; r && !ph.unsat(*r)) defined.insert(*r);
    }
  }
  return defined;
}

void superclass_sweep(Phases& ph, const std::vector<std::uint64_t>& defined_rows, Timeout sweep_timeout,
                      bool retry_unbounded) {
  const PairPhaseInput& in = ph.in;
  const std::size_t n = in.reportable.ids.size();
  const bool verify_all = switch_flag(SwitchId::ClassifyDefinedSweep);
  for (std::uint64_t d : defined_rows) {
    if (expired(in.deadline)) {
      ph.stats.timed_out_pairs += 1;
      ph.stats.undecided_pairs.emplace_back(row_u32(d), row_u32(d));
      return;
    }
    const auto known = known_below(ph.out.children, d);
    const std::uint32_t dc = in.reportable.ids[d].v;
    std::vector<std::uint64_t> candidates;
    for (std::uint64_t i = 0; i < n; ++i)
      if (i != d && !ph.unsat(i) && !known.contains(i) && !ph.el_holds(i, dc)) candidates.push_back(i);
    SweepEnv env{ph.query(sweep_timeout), verify_all, in.reportable.ids[d], in.labels, ph.verify_refutations,
                 retry_unbounded};
    for (SweepResult& res : superclass_sweep_task(candidates, env)) {
      ph.stats.merge(std::move(res.stats));
      if (res.subsumed && !contains(ph.out.parents[res.row], d)) link(ph.out, res.row, d);
    }
  }
}

void same_tier_pass(Phases& ph, const tsl::robin_set<std::uint64_t>& defined, Timeout sweep_timeout,
                    bool retry_unbounded) {
  const PairPhaseInput& in = ph.in;
  const auto& row_of = in.reportable.row_of;
  std::map<std::uint64_t, std::vector<std::uint64_t>> suggested;
  for (std::uint64_t r = 0; r < in.reportable.ids.size(); ++r) {
    if (ph.unsat(r) || r >= in.labels.size()) continue;
    const auto* sat = std::get_if<LabelSat>(&in.labels[r]);
    if (sat == nullptr || sat->label.empty()) continue;
    std::vector<std::uint32_t> ids(sat->label.begin(), sat->label.end());
    std::sort(ids.begin(), ids.end());
    for (std::uint32_t c : ids) {
      if (c >= row_of.size() || !row_of[c]) continue;
      const std::uint64_t s = *row_of[c];
      if (s == r || ph.unsat(s) || defined.contains(s) || ph.el_holds(r, c)) continue;
      if (label_entails(in.labels[r], c)) {
        if (!contains(ph.out.parents[r], s)) link(ph.out, r, s);
        continue;
      }
      suggested[s].push_back(r);
    }
  }
  std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
  for (const auto& [s, list] : suggested) {
    if (expired(in.deadline)) {
      ph.stats.timed_out_pairs += 1;
      ph.stats.undecided_pairs.emplace_back(row_u32(s), row_u32(s));
      break;
    }
    const auto known = known_below(ph.out.children, s);
    for (std::uint64_t r : list)
      if (!known.contains(r)) pairs.emplace_back(r, s);
  }
  for (PairResult& res : pair_list_task(pairs, ph.query(sweep_timeout), retry_unbounded)) {
    ph.stats.merge(std::move(res.stats));
    if (res.subsumed && !contains(ph.out.parents[res.sub], res.sup)) link(ph.out, res.sub, res.sup);
  }
}

void conjunction_pass(Phases& ph) {
  const PairPhaseInput& in = ph.in;
  const ConceptPool& pool = in.ir.concepts;
  const auto& row_of = in.reportable.row_of;
  auto row_of_class = [&](ClassId c) -> std::optional<std::uint64_t> {
    if (c.v >= row_of.size() || !row_of[c.v]) return std::nullopt;
    return *row_of[c.v];
  };
  for (const Axiom& axiom : in.ir.axioms) {
    const auto* eq = std::get_if<EquivalentClasses>(&axiom);
    if (eq == nullptr) continue;
    std::optional<std::uint64_t> a;
    std::optional<std::vector<std::uint64_t>> conjuncts;
    for (ConceptId m : eq->members) {
      const Concept& cv = pool.get(m);
      if (const auto* at = std::get_if<Atomic>(&cv)) {
        if (auto r = row_of_class(at->cls)) a = r;
      } else if (const auto* conj = std::get_if<And>(&cv)) {
        std::vector<std::uint64_t> rows;
        bool all = true;
        for (ConceptId op : conj->members) {
          const auto* oa = std::get_if<Atomic>(&pool.get(op));
          auto r = oa ? row_of_class(oa->cls) : std::nullopt;
          if (!r) {
            all = false;
            break;
          }
          rows.push_back(*r);
        }
        if (all) conjuncts = std::move(rows);
      }
    }
    if (!a || !conjuncts || conjuncts->empty() || ph.unsat(*a)) continue;
    std::vector<std::uint64_t> common;
    for (std::size_t k = 0; k < conjuncts->size(); ++k) {
      std::vector<std::uint64_t> rows;
      for (std::uint32_t id : in.saturation.subsumers.row_sorted(in.reportable.ids[(*conjuncts)[k]].v))
        if (auto r = row_of_class(ClassId{id})) rows.push_back(*r);
      std::sort(rows.begin(), rows.end());
      if (k == 0) {
        common = std::move(rows);
      } else {
        std::vector<std::uint64_t> kept;
        std::set_intersection(common.begin(), common.end(), rows.begin(), rows.end(), std::back_inserter(kept));
        common = std::move(kept);
      }
    }
    for (std::uint64_t x : common) {
      if (x == *a || ph.unsat(x) || ph.el_holds(*a, in.reportable.ids[x].v) || contains(ph.out.parents[*a], x))
        continue;
      ph.stats.conjunction_subsumers += 1;
      link(ph.out, *a, x);
    }
  }
}

void backfold(Phases& ph) {
  if (!switch_flag(SwitchId::ClassifyBackfold)) return;
  const auto& row_of = ph.in.reportable.row_of;
  for (std::uint64_t i = 0; i < ph.in.labels.size(); ++i) {
    const auto* sat = std::get_if<LabelSat>(&ph.in.labels[i]);
    if (sat == nullptr) continue;
    for (std::uint32_t m : sat->backfold) {
      if (m >= row_of.size() || !row_of[m]) continue;
      const std::uint64_t x = *row_of[m];
      // A label of an unsatisfiable class never reaches here: its row is not searched.
      if (x == i || ph.el_holds(i, m) || contains(ph.out.parents[i], x) || ph.unsat(x)) continue;
      ph.stats.backfold_subsumers += 1;
      link(ph.out, i, x);
    }
  }
}

}  // namespace

std::vector<std::vector<std::uint64_t>> subsumer_tiers(const ReportableClasses& reportable,
                                                       const sat::SubsumerTable& saturation,
                                                       const tsl::robin_set<std::uint64_t>& unsat_rows) {
  const std::size_t n = reportable.ids.size();
  std::vector<std::uint64_t> counts(n);
  for (std::size_t r = 0; r < n; ++r) counts[r] = saturation.row_sorted(reportable.ids[r].v).size();
  std::vector<std::uint64_t> live;
  for (std::uint64_t r = 0; r < n; ++r)
    if (!unsat_rows.contains(r)) live.push_back(r);
  std::stable_sort(live.begin(), live.end(), [&](std::uint64_t a, std::uint64_t b) { return counts[a] < counts[b]; });
  std::vector<std::vector<std::uint64_t>> tiers;
  for (std::size_t i = 0; i < live.size(); ++i) {
    if (i == 0 || counts[live[i]] != counts[live[i - 1]]) tiers.emplace_back();
    tiers.back().push_back(live[i]);
  }
  return tiers;
}

Result<PairPhaseOutput> run_pair_phases(const PairPhaseInput& in, ClassifyStats& stats) {
  const std::size_t n = in.reportable.ids.size();
  Phases ph{in, stats, {RowLists(n), RowLists(n), {}}, counting_classes_of(in), false, {}};
  ph.verify_refutations = switch_flag(SwitchId::ClassifyVerifyRefutations) && stats.fragment_kind == 2;
  // A Sat label is the root of a trusted model: it refutes pairs of every
  // class it holds, not only of its own. Under a minimum run time for
  // trusting a model it is left to the label checks of its own row.
  if (ph.counting.empty() && switch_number(SwitchId::HyperTrustSatMinMs) == 0)
    for (const ClassLabel& label : in.labels)
      if (const auto* sat = std::get_if<LabelSat>(&label))
        ph.memo.add_model(std::vector<std::uint32_t>(sat->label.begin(), sat->label.end()));

  const Instant t1 = Clock::now();
  if (auto searched = tier_search(ph); !searched) return std::unexpected(std::move(searched.error()));
  stats.search_ms = elapsed_ms(t1);

  const Instant t2 = Clock::now();
  const auto defined = defined_rows_of(ph);
  std::vector<std::uint64_t> defined_rows(defined.begin(), defined.end());
  std::sort(defined_rows.begin(), defined_rows.end());
  const Timeout sweep_timeout = in.per_pair_timeout ? in.per_pair_timeout : Timeout(std::chrono::milliseconds(200));
  // Without any bound a pair the short try leaves open is asked again unbounded.
  const bool retry_unbounded = !in.per_pair_timeout && !in.deadline;
  superclass_sweep(ph, defined_rows, sweep_timeout, retry_unbounded);
  if (switch_flag(SwitchId::ClassifySameTier)) same_tier_pass(ph, defined, sweep_timeout, retry_unbounded);
  conjunction_pass(ph);
  backfold(ph);
  stats.sweep_ms = elapsed_ms(t2);
  return std::move(ph.out);
}

}  // namespace kelmon::reasoner
