#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/switches.h"
#include "tableau/hyper/hyper.h"
#include "tableau/hyper/internal/stack_guard.h"

namespace kelmon {

namespace {

std::uint64_t saturating_mul(std::uint64_t a, std::uint64_t b) {
  std::uint64_t out = 0;
  if (__builtin_mul_overflow(a, b, &out)) return std::numeric_limits<std::uint64_t>::max();
  return out;
}

bool at_most_probe_on() {
  const auto text = switch_text(SwitchId::AtMostExhaustProbe);
  return text && !text->empty() && *text != "0";
}

}  // namespace

HyperOutcome HyperEngine::run(std::uint64_t depth_budget, Deadline run_deadline) {
  stats_ = HyperStats{};
  budget = depth_budget;
  deadline = run_deadline;
  at_most_probe = at_most_probe_on();
  if (incremental_fixpoint) reseed();
  const std::size_t open = nodes.open_marks();
  const HyperOutcome outcome = guarded_solve(depth_budget);
  // A model is read from the graph as it stands; the branch points still
  // open on the way out are never gone back to.
  close_branch_points(open);
  if (at_most_probe && stats_.probe_total != 0) {
    const HyperStats& s = stats_;
    std::fprintf(stderr,
                 "AT_MOST_EXHAUST_PROBE total=%llu local_bounded=%llu bounded=%llu popcount_sum=%llu "
                 "guard_taint=%llu guard_ownsucc=%llu guard_neq=%llu guard_over=%llu opt_bounded=%llu "
                 "opt_popsum=%llu opt_level_sum=%llu max_depth=%u\n",
                 static_cast<unsigned long long>(s.probe_total), static_cast<unsigned long long>(s.probe_local_bounded),
                 static_cast<unsigned long long>(s.probe_bounded), static_cast<unsigned long long>(s.probe_popcount_sum),
                 static_cast<unsigned long long>(s.probe_guard_taint),
                 static_cast<unsigned long long>(s.probe_guard_ownsucc),
                 static_cast<unsigned long long>(s.probe_guard_neq), static_cast<unsigned long long>(s.probe_guard_over),
                 static_cast<unsigned long long>(s.probe_opt_bounded),
                 static_cast<unsigned long long>(s.probe_opt_popsum),
                 static_cast<unsigned long long>(s.probe_opt_level_sum), s.max_depth);
  }
  return outcome;
}

HyperOutcome HyperEngine::guarded_solve(std::uint64_t depth_left) {
  HyperOutcome outcome = HyperOutcome::Stalled;
  hyper_internal::with_stack_guard([&] { outcome = solve(depth_left); });
  return outcome;
}

HyperOutcome HyperEngine::solve(std::uint64_t depth_left) {
  for (;;) {
    if (expired(deadline)) return HyperOutcome::Stalled;
    if (adaptive_budget) {
      const std::uint64_t b =
          stats_.branches > adaptive_branches_mark ? stats_.branches - adaptive_branches_mark : 0;
      if (b >= 500) {
        const std::uint64_t r =
            stats_.restores > adaptive_restores_mark ? stats_.restores - adaptive_restores_mark : 0;
        const std::uint64_t depth_cap = std::min<std::uint64_t>(budget, 0xFFFFFFFFu);
        if (stats_.max_depth >= depth_cap && saturating_mul(r, 100) >= saturating_mul(b, 98)) {
          stats_.stalled = true;
          return HyperOutcome::Stalled;
        }
        adaptive_branches_mark = stats_.branches;
        adaptive_restores_mark = stats_.restores;
      }
    }
    const HyperOutcome fp = fixpoint();
    if (fp != HyperOutcome::Sat) return fp;
    // A number restriction that no merging can satisfy is a clash now: left
    // until every disjunction is settled, it would be met once per combination
    // of the unrelated choices made meanwhile.
    if (at_most_clash()) return HyperOutcome::Unsat;
    // Merges before disjunctions: a merge settles which nodes are one before
    // their disjunctions are decided apart. An exhausted merge search rests on
    // every level, so merging last would retry each earlier choice in turn.
    if (auto at_most = check_at_most(depth_left)) return *at_most;
    if (auto candidate = select_candidate()) return branch(*candidate, depth_left);
    switch (settle_model()) {
      case Settled::Model: return HyperOutcome::Sat;
      case Settled::Clash: return HyperOutcome::Unsat;
      case Settled::Stalled: return HyperOutcome::Stalled;
      case Settled::Changed: break;  // new facts: look for work again
    }
  }
}

bool HyperEngine::skipped_by_set(const DlClause& c) const {
  if (!skip_disjunctions || skip_disjunctions->empty() || c.head.size() != 2) return false;
  if (c.head[0].atom_kind() != ClauseAtomKind::ConceptAtom || c.head[1].atom_kind() != ClauseAtomKind::ConceptAtom)
    return false;
  return skip_disjunctions->contains((std::uint64_t{c.head[0].a} << 32) | c.head[1].a);
}

std::optional<HyperEngine::Candidate> HyperEngine::select_candidate() {
  std::optional<Candidate> best;
  std::size_t best_weight = 0;
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    const auto node = static_cast<std::uint32_t>(i);
    // A merged-away node's class is its representative's; offering it again only repeats work.
    if (parent_of[node] != node) continue;
    if (inverse_roles ? indirectly_blocked(node) : is_blocked(node)) continue;
    for (const ClauseIndexes* idx : {index.get(), static_cast<const ClauseIndexes*>(&delta_index)}) {
      for (const DisjunctiveRecord& rec : idx->disjunctive) {
        if (rec.has_centre_concept != 0 && !nodes[node].has_label(rec.centre_concept)) continue;
        const DlClause& c = clause(rec.clause);
        if (skipped_by_set(c)) continue;
        if (mrv && best && c.head.size() >= best_weight) continue;
        for (Binding& b : match_clause(rec.clause, node)) {
          bool holds = false;
          for (std::size_t p = 0; p < c.head.size() && !holds; ++p) holds = head_atom_holds(rec.clause, p, node, b);
          if (holds) continue;
          if (!mrv) return Candidate{rec.clause, node, std::move(b)};
          best = Candidate{rec.clause, node, std::move(b)};
          best_weight = c.head.size();
          break;
        }
      }
    }
  }
  return best;
}

std::uint32_t HyperEngine::enter_level(std::uint64_t depth_left) {
  const std::uint64_t index_of_level = budget - depth_left;
  const auto number = static_cast<std::uint32_t>(std::min<std::uint64_t>(index_of_level + 1, 0xFFFFFFFFu));
  level = number;
  stats_.max_depth = std::max(stats_.max_depth, number);
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(index_of_level, 0xFFFFFFFFu));
}

HyperOutcome HyperEngine::branch(const Candidate& cand, std::uint64_t depth_left) {
  if (depth_left == 0) return HyperOutcome::Stalled;
  const std::uint32_t i = enter_level(depth_left);
  const DlClause& c = clause(cand.clause);
  const LevelMask d = body_deps(cand.clause, cand.node, cand.binding);
  LevelMask b = d;
  b.add_level(i);
  LevelMask acc;
  std::vector<std::size_t> disjuncts;
  for (std::size_t p = 0; p < c.head.size(); ++p) disjuncts.push_back(p);

  if (lookahead) {
    const std::uint32_t r = find(cand.node);
    const std::uint64_t class_count = lookahead->class_count();
    // Only class ids mean the same thing to the look-ahead; what it is told
    // is what a pruned disjunct rests on.
    std::vector<std::uint32_t> classes;
    LevelMask used = nodes[r].node_deps;
    for (std::size_t k = 0; k < nodes[r].labels.size(); ++k) {
      if (nodes[r].labels[k] >= class_count) continue;
      classes.push_back(nodes[r].labels[k]);
      used |= nodes[r].label_deps[k];
    }
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
    for (const HyperEdge& e : nodes[r].out_edges) {
      if (e.dir != 0) continue;
      const std::uint32_t t = find(e.node);
      for (std::size_t k = 0; k < nodes[t].labels.size(); ++k) {
        if (nodes[t].labels[k] >= class_count) continue;
        pairs.emplace_back(e.role, nodes[t].labels[k]);
        used |= nodes[t].node_deps | nodes[t].label_deps[k];
      }
    }
    std::vector<std::size_t> kept;
    for (std::size_t p : disjuncts) {
      ++stats_.lookahead_probes;
      const ClauseAtom& atom = c.head[p];
      bool pruned = false;
      if (atom.atom_kind() == ClauseAtomKind::ConceptAtom && atom.b == 0 && atom.a < class_count) {
        std::vector<std::uint32_t> probe = classes;
        probe.push_back(atom.a);
        pruned = lookahead->probe_unsat(probe, pairs);
      } else if (atom.atom_kind() == ClauseAtomKind::ExistsAtom && atom.b == 0 && atom.role.inverse == 0 &&
                 atom.a < class_count) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> probe = pairs;
        probe.emplace_back(atom.role.id.v, atom.a);
        pruned = lookahead->probe_unsat(classes, probe);
      }
      if (pruned) {
        ++stats_.lookahead_pruned;
        acc |= used;
      } else {
        kept.push_back(p);
      }
    }
    if (kept.size() == 1) ++stats_.lookahead_forced;
    disjuncts = std::move(kept);
  }

  auto disjunct_node = [&](const ClauseAtom& atom) -> std::optional<std::uint32_t> {
    for (const auto& [v, n] : cand.binding)
      if (v == atom.b) return inverse_func_merge ? find(n) : n;
    if (atom.b == 0) return inverse_func_merge ? find(cand.node) : cand.node;
    return std::nullopt;
  };

  if (semantic_branching) {
    std::vector<std::size_t> kept;
    for (std::size_t p : disjuncts) {
      const ClauseAtom& atom = c.head[p];
      const auto y = atom.atom_kind() == ClauseAtomKind::ConceptAtom ? disjunct_node(atom) : std::nullopt;
      if (!y) {
        kept.push_back(p);
        continue;
      }
      if (const Refutation* ref = nodes[*y].refutation(atom.a)) {
        ++stats_.semantic_pruned;
        acc |= ref->deps | b;
        continue;
      }
      LevelMask gathered;
      bool clashing = false;
      const HyperNode& yn = nodes[*y];
      for (std::size_t k = 0; k < yn.labels.size(); ++k) {
        const std::uint32_t l = yn.labels[k];
        if (l == atom.a) continue;
        const std::pair<std::uint32_t, std::uint32_t> pair{std::min(l, atom.a), std::max(l, atom.a)};
        if (disjoint->contains(l, atom.a) ||
            std::find(delta_disjoint.begin(), delta_disjoint.end(), pair) != delta_disjoint.end()) {
          clashing = true;
          gathered |= yn.label_deps[k];
        }
      }
      if (!clashing) {
        kept.push_back(p);
        continue;
      }
      ++stats_.semantic_pruned;
      if (yn.imprecise) {
        acc.overflow = true;
      } else {
        acc |= b | gathered;
      }
    }
    disjuncts = std::move(kept);
    if (disjuncts.empty()) {
      clash_deps = acc | d;
      clash_deps.remove_level(i);
      return HyperOutcome::Unsat;
    }
    if (disjuncts.size() == 1) {
      LevelMask m = acc;
      m.remove_level(i);
      m |= d;
      ++stats_.forced_disjuncts;
      if (apply_head_atom(c.head[disjuncts[0]], cand.node, cand.binding, m) == ApplyResult::Clash)
        return HyperOutcome::Unsat;
      return guarded_solve(depth_left);
    }
  } else if (disjuncts.empty()) {
    clash_deps = acc | d;
    clash_deps.remove_level(i);
    return HyperOutcome::Unsat;
  }

  bool stalled = false;
  for (std::size_t q = 0; q < disjuncts.size(); ++q) {
    const std::size_t p = disjuncts[q];
    if (q + 1 == disjuncts.size() && q != 0 && !stalled && !acc.overflow) {
      // Every other disjunct failed: this one follows from what made them
      // fail, not from a choice, so it opens no branch point and carries
      // their causes instead of this level.
      LevelMask m = acc;
      m.remove_level(i);
      m |= d;
      ++stats_.forced_disjuncts;
      if (apply_head_atom(c.head[p], cand.node, cand.binding, m) == ApplyResult::Clash) return HyperOutcome::Unsat;
      return guarded_solve(depth_left);
    }
    Checkpoint cp = checkpoint();
    ++stats_.branches;
    ++stats_.disjunct_branches;
    HyperOutcome r = HyperOutcome::Unsat;
    if (apply_head_atom(c.head[p], cand.node, cand.binding, b) != ApplyResult::Clash) r = guarded_solve(depth_left - 1);
    if (r == HyperOutcome::Sat) return r;
    if (r == HyperOutcome::Stalled) {
      restore(std::move(cp));
      stalled = true;
      continue;
    }
    const LevelMask k = clash_deps;
    restore(std::move(cp));
    if (!k.overflow && !k.has_level(i)) {
      clash_deps = k;
      return HyperOutcome::Unsat;
    }
    const ClauseAtom& atom = c.head[p];
    if (semantic_branching && atom.atom_kind() == ClauseAtomKind::ConceptAtom) {
      if (const auto y = disjunct_node(atom)) {
        auto& refuted = nodes.mut(*y).refuted;
        auto it = std::lower_bound(refuted.begin(), refuted.end(), atom.a,
                                   [](const Refutation& rf, std::uint32_t v) { return rf.concept_ < v; });
        if (it == refuted.end() || it->concept_ != atom.a) refuted.insert(it, Refutation{atom.a, k});
        ++stats_.refutations_recorded;
      }
    }
    acc |= k;
  }
  if (stalled) return HyperOutcome::Stalled;
  clash_deps = acc;
  clash_deps.remove_level(i);
  return HyperOutcome::Unsat;
}

bool HyperEngine::greedy_card_clash(std::uint32_t node, const std::vector<std::uint32_t>& s, std::uint32_t n) {
  std::vector<std::uint32_t> chosen;
  for (std::uint32_t cand : s) {
    bool distinct_from_all = true;
    for (std::uint32_t t : chosen) {
      const bool apart = (find(cand) != find(t) && is_distinct(cand, t)) || labels_disjoint(cand, t);
      if (!apart) {
        distinct_from_all = false;
        break;
      }
    }
    if (!distinct_from_all) continue;
    chosen.push_back(cand);
    if (chosen.size() == std::uint64_t{n} + 1) {
      clash_deps = card_clash_deps(node, s);
      if (shadow_probe) record_clash(clash_deps, shadow_card_deps(node, s), node);
      return true;
    }
  }
  return false;
}

bool HyperEngine::fits_groups(const std::vector<std::uint32_t>& s, std::uint32_t n, std::size_t k,
                              std::vector<std::vector<std::uint32_t>>& groups) const {
  if (k == s.size()) return true;
  for (auto& group : groups) {
    bool compatible = true;
    for (std::uint32_t t : group)
      if (is_distinct(s[k], t) || labels_disjoint(s[k], t)) {
        compatible = false;
        break;
      }
    if (!compatible) continue;
    group.push_back(s[k]);
    const bool fits = fits_groups(s, n, k + 1, groups);
    group.pop_back();
    if (fits) return true;
  }
  if (groups.size() >= n) return false;
  groups.push_back({s[k]});
  const bool fits = fits_groups(s, n, k + 1, groups);
  groups.pop_back();
  return fits;
}

bool HyperEngine::at_most_clash() {
  for (std::uint64_t ni = 0; ni < nodes.size(); ++ni) {
    const auto node = static_cast<std::uint32_t>(ni);
    if (parent_of[node] != node) continue;
    for (const CardRecord& rec : nodes[node].at_most) {
      if (rec.n == 1 && inverse_func_merge) continue;
      const std::vector<std::uint32_t> s = successors(node, rec.dir, rec.role, rec.qualified, rec.concept_);
      if (s.size() <= rec.n) continue;
      if (greedy_card_clash(node, s, rec.n)) return true;
      std::vector<std::vector<std::uint32_t>> groups;
      if (fits_groups(s, rec.n, 0, groups)) continue;
      // Only distinctness and disjoint labels keep the successors apart.
      clash_deps = card_clash_deps(node, s);
      if (shadow_probe) record_clash(clash_deps, shadow_card_deps(node, s), node);
      return true;
    }
  }
  return false;
}

std::optional<HyperOutcome> HyperEngine::check_at_most(std::uint64_t depth_left) {
  for (std::uint64_t ni = 0; ni < nodes.size(); ++ni) {
    const auto node = static_cast<std::uint32_t>(ni);
    if (parent_of[node] != node) continue;
    const std::vector<CardRecord> records = nodes[node].at_most;
    for (const CardRecord& rec : records) {
      if (rec.n == 1 && inverse_func_merge) continue;
      const std::vector<std::uint32_t> s = successors(node, rec.dir, rec.role, rec.qualified, rec.concept_);
      if (s.size() <= rec.n) continue;
      if (greedy_card_clash(node, s, rec.n)) return HyperOutcome::Unsat;
      if (depth_left == 0) return HyperOutcome::Stalled;
      enter_level(depth_left);
      return merge_search(node, s, rec.n, depth_left);
    }
  }
  return std::nullopt;
}

HyperOutcome HyperEngine::merge_search(std::uint32_t x, const std::vector<std::uint32_t>& s, std::uint32_t n,
                                       std::uint64_t depth_left) {
  std::vector<std::vector<std::uint32_t>> groups;
  bool stalled = false;
  LevelMask acc;
  if (partition_search(x, s, n, 0, depth_left, groups, stalled, acc) == Partition::Sat) return HyperOutcome::Sat;
  if (stalled) return HyperOutcome::Stalled;
  clash_deps = LevelMask::overflow_mask();
  if (at_most_probe) at_most_exhaustion_probe(x, s, acc);
  if (shadow_probe) record_clash(LevelMask::overflow_mask(), LevelMask::overflow_mask(), s.front());
  return HyperOutcome::Unsat;
}

HyperEngine::Partition HyperEngine::partition_search(std::uint32_t x, const std::vector<std::uint32_t>& s,
                                                     std::uint32_t n, std::size_t k, std::uint64_t depth_left,
                                                     std::vector<std::vector<std::uint32_t>>& groups, bool& stalled,
                                                     LevelMask& acc) {
  if (k == s.size()) {
    Checkpoint cp = checkpoint();
    ++stats_.branches;
    ++stats_.merge_branches;
    bool clash = false;
    for (const auto& group : groups) {
      for (std::size_t m = 1; m < group.size() && !clash; ++m) clash = !merge(group[0], group[m], LevelMask{});
      if (clash) break;
    }
    HyperOutcome r = HyperOutcome::Unsat;
    if (!clash) r = guarded_solve(depth_left - 1);
    if (r == HyperOutcome::Sat) return Partition::Sat;
    if (r == HyperOutcome::Unsat && at_most_probe) acc |= clash_deps;
    if (r == HyperOutcome::Stalled) stalled = true;
    restore(std::move(cp));
    return Partition::Exhausted;
  }
  const std::uint32_t item = s[k];
  // By index: the recursion opens groups, which may move the list.
  for (std::size_t g = 0; g < groups.size(); ++g) {
    bool compatible = true;
    for (std::uint32_t t : groups[g])
      if (is_distinct(item, t) || labels_disjoint(item, t)) {
        compatible = false;
        break;
      }
    if (!compatible) continue;
    groups[g].push_back(item);
    const Partition r = partition_search(x, s, n, k + 1, depth_left, groups, stalled, acc);
    groups[g].pop_back();
    if (r == Partition::Sat) return r;
  }
  if (groups.size() < n) {
    groups.push_back({item});
    const Partition r = partition_search(x, s, n, k + 1, depth_left, groups, stalled, acc);
    groups.pop_back();
    if (r == Partition::Sat) return r;
  }
  return Partition::Exhausted;
}

void HyperEngine::at_most_exhaustion_probe(std::uint32_t x, const std::vector<std::uint32_t>& s,
                                           const LevelMask& acc) {
  const LevelMask p = card_clash_deps(x, s);
  ++stats_.probe_total;
  const std::uint32_t r = find(x);
  bool own = true;
  for (std::uint32_t t : s)
    if (nodes[t].is_tree == 0 || nodes[t].parent != r) own = false;
  if (!p.overflow) {
    ++stats_.probe_local_bounded;
  } else if (nodes[r].merged_card) {
    ++stats_.probe_guard_taint;
  } else if (!own) {
    ++stats_.probe_guard_ownsucc;
  } else {
    bool neq = false;
    for (std::size_t i = 0; i < s.size() && !neq; ++i)
      for (std::size_t j = i + 1; j < s.size() && !neq; ++j)
        neq = is_distinct(s[i], s[j]) && !labels_disjoint(s[i], s[j]);
    ++(neq ? stats_.probe_guard_neq : stats_.probe_guard_over);
  }
  if (!p.overflow && !acc.overflow) {
    ++stats_.probe_bounded;
    stats_.probe_popcount_sum += (p | acc).popcount();
  }
  if (!nodes[r].merged_card && own) {
    const LevelMask o = local_card_mask(r, s);
    if (!o.overflow && !acc.overflow) {
      ++stats_.probe_opt_bounded;
      stats_.probe_opt_popsum += (o | acc).popcount();
      stats_.probe_opt_level_sum += level;
    }
  }
}

}  // namespace kelmon
