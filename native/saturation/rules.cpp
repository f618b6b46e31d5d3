// The completion rules: one operation per kind of queued item.
#include <algorithm>

#include "common/invariant.h"
#include "saturation/internal/engine.h"

namespace kelmon::sat {

namespace {

bool all_in_row(const SubsumerTable& table, u32 row, const std::vector<u32>& ids) {
  for (u32 c : ids)
    if (!table.contains(row, c)) return false;
  return true;
}

}  // namespace

void ElEngine::apply_forall_nominals(u32 x, u32 role, u32 individual) {
  if (rules.forall_nominal_index.empty()) return;
  auto it = rules.forall_nominal_index.find(PairKey{role, individual});
  if (it == rules.forall_nominal_index.end()) return;
  std::vector<u32> targets = it->second;
  for (u32 f : targets) enqueue_if_absent(x, f);
}

// Each rule is a function of its own, inlined back here: this runs for every
// subsumption derived.
void ElEngine::process_pair(u32 x, u32 y) {
  if (!record_pair(x, y)) return;
  const Fact xy = Fact::sub(x, y);
  pair_at_most_one(x, y);
  pair_transitivity(x, y, xy);
  if (result.unsat.test(y)) mark_proved(x, ProofRule::BottomAbove, {xy, Fact::bottom(y)});
  pair_conjunctions(x, y);
  pair_bottom_conjunctions(x, y);
  pair_disjointness(x, y, xy);
  pair_unions(x);
  pair_exists_left_into(x, y, xy);
  // Inheriting can append to y's own list (when x and y are equivalent), so
  // the steps below walk the links y has now, by index.
  const std::size_t own_count = links_by_source[y].size();
  pair_own_link_rules(x, y, xy, own_count);
  pair_inherit_links(x, y, xy, own_count);
  pair_role_chains(x, y, xy);
}

[[gnu::always_inline]] inline bool ElEngine::record_pair(u32 x, u32 y) {
  if (dedup) return true;  // recorded when it was queued
  if (!result.subsumers.insert(x, y)) return false;
  subsumees.insert(y, x);
  return true;
}

// At-most-one: a single r-successor that is a nominal {a} makes x ⊑ ∀r.{a}.
[[gnu::always_inline]] inline void ElEngine::pair_at_most_one(u32 x, u32 y) {
  if (rules.at_most_one_roles.empty() || rules.nominal_individuals.empty()) return;
  auto it = rules.at_most_one_roles.find(y);
  if (it == rules.at_most_one_roles.end()) return;
  u32 r = it->second;
  std::vector<u64> own = links_by_source[x];
  for (u64 li : own) {
    const ElLink l = links[li];
    if (l.role != r) continue;
    if (auto n = rules.nominal_individuals.find(l.target); n != rules.nominal_individuals.end())
      apply_forall_nominals(x, r, n->second);
  }
}

// Transitivity. Proofs take the two full steps, so that every fact has a
// derivation over the pair that gave it. Without proofs only the told
// subsumers of y are passed on: everything else in y's row was derived by a
// rule over y's row and links, and x, which gets every such premise and a
// copy of every link of y, derives it by the same rule. Copying whole rows
// up and down instead costs the square of the hierarchy's depth per class.
[[gnu::always_inline]] inline void ElEngine::pair_transitivity(u32 x, u32 y, const Fact& xy) {
  if (!proving()) {
    for (std::size_t i = 0; i < told_supers[y].size(); ++i) enqueue_if_absent(x, told_supers[y][i]);
    return;
  }
  std::vector<u32>& row_y = scratch_row_;
  result.subsumers.row_into(y, row_y);
  for (u32 z : row_y) queue_proved(x, z, ProofRule::Upward, {xy, Fact::sub(y, z)}, {});
  std::vector<u32>& below_x = scratch_below_;
  subsumees.row_into(x, below_x);
  for (u32 w : below_x) queue_proved(w, y, ProofRule::Downward, {Fact::sub(w, x), xy}, {});
}

[[gnu::always_inline]] inline void ElEngine::pair_conjunctions(u32 x, u32 y) {
  // Queuing never touches the indexes, so the list is read in place.
  for (u32 ri : conj_index[y]) {
    const ConjunctionRule& rule = rules.conjunction_rules[ri];
    if (!all_in_row(result.subsumers, x, rule.conjuncts)) continue;
    if (proving() && !result.subsumers.contains(x, rule.result)) {
      std::vector<Fact> premises;
      for (u32 c : rule.conjuncts) premises.push_back(Fact::sub(x, c));
      queue_proved(x, rule.result, ProofRule::Conjunction, std::move(premises),
                   axioms_of(proof->conjunction_rules, ri));
    } else {
      enqueue_if_absent(x, rule.result);
    }
  }
}

// The first ⊥-conjunction whose members are all above x makes it unsatisfiable.
[[gnu::always_inline]] inline void ElEngine::pair_bottom_conjunctions(u32 x, u32 y) {
  for (u32 bi : bottom_conj_index[y]) {
    const auto& members = rules.bottom_conjunctions[bi];
    if (!all_in_row(result.subsumers, x, members)) continue;
    if (proving() && !result.unsat.test(x)) {
      std::vector<Fact> premises;
      for (u32 m : members) premises.push_back(Fact::sub(x, m));
      proof->record(Fact::bottom(x), Derivation{ProofRule::BottomConjunction, std::move(premises),
                                                axioms_of(proof->bottom_conjunctions, bi)});
    }
    mark(x);
    return;
  }
}

[[gnu::always_inline]] inline void ElEngine::pair_disjointness(u32 x, u32 y, const Fact& xy) {
  for (u32 d : disjoint_partners[y]) {
    if (!result.subsumers.contains(x, d)) continue;
    if (proving() && !result.unsat.test(x))
      proof->record(Fact::bottom(x), Derivation{ProofRule::Disjointness, {xy, Fact::sub(x, d)}, disjoint_axioms(y, d)});
    mark(x);
    return;
  }
}

// Union rules over x's row: a union with every alternative refuted by a
// disjointness makes x unsatisfiable; one with a single alternative left puts
// that alternative above x.
[[gnu::always_inline]] inline void ElEngine::pair_unions(u32 x) {
  if (rules.unions.empty()) return;
  std::vector<u32> row_x;
  result.subsumers.row_into(x, row_x);
  bool to_mark = false;
  std::vector<u32> remembered;
  for (u32 z : row_x) {
    auto it = rules.unions.find(z);
    if (it == rules.unions.end()) continue;
    for (const auto& disjunction : it->second) {
      std::size_t left = 0;
      u32 last = 0;
      for (u32 b : disjunction) {
        bool refuted = false;
        for (u32 d : disjoint_partners[b]) {
          if (result.subsumers.contains(x, d)) {
            refuted = true;
            break;
          }
        }
        if (!refuted) {
          ++left;
          last = b;
        }
      }
      if (left == 0) to_mark = true;
      if (left == 1) remembered.push_back(last);
    }
  }
  if (to_mark) mark(x);
  for (u32 b : remembered) enqueue_if_absent(x, b);
}

// ∃r1.X ⊑ ... over links into x, now that x ⊑ y. The subsumees of each
// link's source hold copies of the link, so they are served by their own
// copies; walking them here too would cost a subtree per link.
[[gnu::always_inline]] inline void ElEngine::pair_exists_left_into(u32 x, u32 y, const Fact& xy) {
  if (exists_left_index[y].empty()) return;
  const std::vector<u64>& into = links_by_target[x];
  const std::vector<u32>& lefts = exists_left_index[y];
  for (u64 li : into) {
    const ElLink l = links[li];
    for (u32 ei : lefts) {
      const ExistsLeftRule& e = rules.exists_left_rules[ei];
      if (!role_below(l.role, e.role)) continue;
      std::vector<u32> ax = proving() ? axioms_of(proof->exists_left_rules, ei) : std::vector<u32>{};
      queue_proved(l.source, e.result, ProofRule::ExistsLeftInto, {Fact::link(l.source, l.role, l.target), xy}, ax);
    }
  }
}

// The ∃-left and domain steps over the links of y are proof-mode only: the
// copy of each link that x inherits is processed for x, and reaches the same
// consequences.
[[gnu::always_inline]] inline void ElEngine::pair_own_link_rules(u32 x, u32 y, const Fact& xy, std::size_t own_count) {
  if (own_count == 0 || !proving()) return;
  std::vector<u32> row_t;
  for (std::size_t j = 0; j < own_count; ++j) {
    const u64 li = links_by_source[y][j];
    const ElLink l = links[li];
    const Fact lf = Fact::link(l.source, l.role, l.target);
    result.subsumers.row_into(l.target, row_t);
    for (u32 f : row_t) {
      for (u32 ei : exists_left_index[f]) {
        const ExistsLeftRule& e = rules.exists_left_rules[ei];
        if (!role_below(l.role, e.role)) continue;
        queue_proved(x, e.result, ProofRule::ExistsLeftOwn, {xy, lf, Fact::sub(l.target, f)},
                     axioms_of(proof->exists_left_rules, ei));
      }
    }
    if (!rules.domains.empty() && l.role < super_roles.size()) {
      for (u32 s : super_roles[l.role]) {
        auto d = rules.domains.find(s);
        if (d == rules.domains.end()) continue;
        for (u32 c : d->second) queue_proved(x, c, ProofRule::DomainOwn, {xy, lf}, domain_axioms(s, c));
      }
    }
  }
}

// Link inheritance. Without proofs only y's own links are passed on: a copy
// y holds came from some z above y, and x inherits it from z itself.
[[gnu::always_inline]] inline void ElEngine::pair_inherit_links(u32 x, u32 y, const Fact& xy, std::size_t own_count) {
  for (std::size_t j = 0; j < own_count; ++j) {
    const u64 li = links_by_source[y][j];
    if (!proving() && link_is_copy[li]) continue;
    const ElLink l = links[li];
    ElLink inherited{x, l.role, l.target};
    if (proving() && !link_set.contains(inherited))
      proof->record(Fact::link(x, l.role, l.target),
                    Derivation{ProofRule::LinkInheritance, {xy, Fact::link(l.source, l.role, l.target)}, {}});
    add_link(inherited, std::nullopt, true);
  }
}

// Role chains r1 ∘ r2 ⊑ s through x ⊑ y: a link w -r1-> x and a link
// y -r2-> t give w -s-> t.
[[gnu::always_inline]] inline void ElEngine::pair_role_chains(u32 x, u32 y, const Fact& xy) {
  if (rules.role_chains.empty()) return;
  // Both lists may grow while chains add links; the links present now are
  // the ones this pair combines, so the loops stop at the current lengths.
  const std::size_t into_count = links_by_target[x].size();
  const std::size_t from_count = links_by_source[y].size();
  std::vector<u64> from;
  for (std::size_t ci = 0; ci < rules.role_chains.size(); ++ci) {
    const RoleChainRule ch = rules.role_chains[ci];
    from.clear();
    for (std::size_t j = 0; j < from_count; ++j) {
      const u64 b = links_by_source[y][j];
      if (role_below(links[b].role, ch.r2)) from.push_back(b);
    }
    if (from.empty()) continue;
    for (std::size_t i = 0; i < into_count; ++i) {
      const ElLink la = links[links_by_target[x][i]];
      if (!role_below(la.role, ch.r1)) continue;
      for (u64 b : from) {
        const ElLink lb = links[b];
        ElLink derived{la.source, ch.s, lb.target};
        if (proving() && !link_set.contains(derived))
          proof->record(Fact::link(derived.source, derived.role, derived.target),
                        Derivation{ProofRule::ChainOverPair,
                                   {Fact::link(la.source, la.role, la.target), xy,
                                    Fact::link(lb.source, lb.role, lb.target)},
                                   axioms_of(proof->role_chains, ci)});
        add_chain_link(derived);
      }
    }
  }
}

// A link made by a chain reaches its target over the chain's super-role, so
// the target lies in that role's ranges too; the link to the bare target
// would not carry them, and ∃-left rules over the ranges would be missed.
void ElEngine::add_chain_link(const ElLink& link) {
  add_link(link, std::nullopt);
  auto it = rules.role_ranges.find(link.role);
  if (it == rules.role_ranges.end()) return;
  bool typed = true;
  for (u32 d : it->second) typed = typed && result.subsumers.contains(link.target, d);
  if (typed) return;
  // Flattened members, so that a target that is already such a conjunction
  // maps to itself and no chain of ever new ids can start.
  std::vector<u32> members = conjunct_set(link.target);
  members.insert(members.end(), it->second.begin(), it->second.end());
  std::sort(members.begin(), members.end());
  members.erase(std::unique(members.begin(), members.end()), members.end());
  const u32 m = add_conjunction(std::move(members));
  if (m != link.target) add_link(ElLink{link.source, link.role, m}, std::nullopt);
}

void ElEngine::process_link(u64 index) {
  const ElLink link = links.at(index);
  const u32 s = link.source, r = link.role, t = link.target;
  const Fact lf = Fact::link(s, r, t);

  if (!rules.transitive_successors.empty()) {
    if (auto it = rules.transitive_successors.find(PairKey{r, t}); it != rules.transitive_successors.end()) {
      std::vector<u32> next = it->second;
      for (u32 q : next) {
        ElLink derived{s, r, q};
        if (proving() && !link_set.contains(derived))
          proof->record(Fact::link(s, r, q), Derivation{ProofRule::Transitive, {lf}, {}});
        add_link(derived, std::nullopt);
      }
    }
  }

  if (!rules.forall_nominal_index.empty() && !rules.nominal_individuals.empty()) {
    if (auto n = rules.nominal_individuals.find(t); n != rules.nominal_individuals.end()) {
      u32 a = n->second;
      if (r < rules.functional_role_set.size() && rules.functional_role_set[r]) apply_forall_nominals(s, r, a);
      if (r < rules.functional_supers.size())
        for (u32 q : rules.functional_supers[r]) apply_forall_nominals(s, q, a);
      if (auto m = rules.at_most_one.find(r); m != rules.at_most_one.end() && result.subsumers.contains(s, m->second))
        apply_forall_nominals(s, r, a);
    }
  }

  // Every subsumee of s holds its own copy of this link (copied down when the
  // link was added, or inherited when the subsumption was processed), and
  // that copy is processed in turn; so the steps below serve s alone.

  if (r < super_roles.size()) {
    const std::vector<u32>& supers = super_roles[r];
    for (u32 q : supers) {
      if (!rules.domains.empty()) {
        if (auto d = rules.domains.find(q); d != rules.domains.end()) {
          const std::vector<u32>& classes = d->second;
          for (u32 c : classes) {
            std::vector<u32> ax = proving() ? domain_axioms(q, c) : std::vector<u32>{};
            queue_proved(s, c, ProofRule::Domain, {lf}, ax);
          }
        }
      }
      if (rules.empty_roles.contains(q)) {
        mark(s);
        break;
      }
    }
  }

  if (result.unsat.test(t)) mark_proved(s, ProofRule::BottomTarget, {lf, Fact::bottom(t)});

  std::vector<u32>& row_t = scratch_link_row_;
  result.subsumers.row_into(t, row_t);
  for (u32 f : row_t) {
    for (u32 ei : exists_left_index[f]) {
      const ExistsLeftRule& e = rules.exists_left_rules[ei];
      if (!role_below(r, e.role)) continue;
      std::vector<u32> ax = proving() ? axioms_of(proof->exists_left_rules, ei) : std::vector<u32>{};
      queue_proved(s, e.result, ProofRule::ExistsLeft, {lf, Fact::sub(t, f)}, ax);
    }
  }

  for (std::size_t ci = 0; ci < rules.role_chains.size(); ++ci) {
    const RoleChainRule ch = rules.role_chains[ci];
    if (role_below(r, ch.r1)) {
      for (u32 f : row_t) {
        std::vector<u64> from = links_by_source[f];
        for (u64 b : from) {
          const ElLink lb = links[b];
          if (!role_below(lb.role, ch.r2)) continue;
          ElLink derived{s, ch.s, lb.target};
          if (proving() && !link_set.contains(derived))
            proof->record(Fact::link(s, ch.s, lb.target),
                          Derivation{ProofRule::ChainOverLink, {lf, Fact::link(lb.source, lb.role, lb.target)},
                                     axioms_of(proof->role_chains, ci)});
          add_chain_link(derived);
        }
      }
    }
    if (role_below(r, ch.r2)) {
      {
        std::vector<u64> into = links_by_target[s];
        for (u64 a : into) {
          const ElLink la = links[a];
          if (!role_below(la.role, ch.r1)) continue;
          ElLink derived{la.source, ch.s, t};
          if (proving() && !link_set.contains(derived))
            proof->record(Fact::link(la.source, ch.s, t),
                          Derivation{ProofRule::ChainOverLink, {Fact::link(la.source, la.role, la.target), lf},
                                     axioms_of(proof->role_chains, ci)});
          add_chain_link(derived);
        }
      }
    }
  }

  process_functional(s, r, t);
}

// Targets of one functional role from one source are one element: they merge
// into the conjunction of all their conjuncts.
void ElEngine::process_functional(u32 s, u32 r, u32 t) {
  if (r >= rules.functional_supers.size() || rules.functional_supers[r].empty()) return;
  const std::vector<u32> p0 = conjunct_set(t);  // sorted
  const std::vector<u32> qs = rules.functional_supers[r];
  for (u32 q : qs) {
    if (proving()) proof->functional_links[PairKey{s, q}].push_back(Fact::link(s, r, t));
    std::vector<u32>& p = functional_targets[PairKey{s, q}];
    std::size_t k = p.size();
    if (k >= p0.size() && std::includes(p.begin(), p.end(), p0.begin(), p0.end())) continue;
    std::vector<u32> merged;
    std::set_union(p.begin(), p.end(), p0.begin(), p0.end(), std::back_inserter(merged));
    p = merged;
    if (k == 0) continue;
    u32 m = add_conjunction(merged);
    ElLink ml{s, q, m};
    if (link_set.insert(ml)) {
      if (proving()) {
        std::vector<u32> ax;
        if (auto f = proof->functional_axioms.find(q); f != proof->functional_axioms.end()) ax.push_back(f->second);
        proof->record(Fact::link(s, q, m),
                      Derivation{ProofRule::FunctionalMerge, proof->functional_links[PairKey{s, q}], ax});
      }
      u64 index = links.size();
      links.push_back(ml);
      link_is_copy.push_back(0);
      links_by_source.push(s, index);
      links_by_target.push(m, index);
      link_queue.push(index);
    }
    std::vector<u64> own = links_by_source[s];
    for (u64 li : own) {
      const ElLink l = links[li];
      if (!role_below(l.role, q)) continue;
      ElLink derived{s, l.role, m};
      if (proving() && !link_set.contains(derived)) {
        std::vector<u32> ax;
        if (auto f = proof->functional_axioms.find(q); f != proof->functional_axioms.end()) ax.push_back(f->second);
        proof->record(Fact::link(s, l.role, m), Derivation{ProofRule::FunctionalRedirect,
                                                           {Fact::link(s, l.role, l.target), Fact::link(s, q, m)}, ax});
      }
      add_link(derived, std::nullopt);
    }
  }
}

void ElEngine::process_bottom(u32 a) {
  if (!result.unsat.set(a)) return;
  std::vector<u32> below;
  subsumees.row_into(a, below);
  for (u32 g : below) mark_proved(g, ProofRule::BottomBelow, {Fact::bottom(a), Fact::sub(g, a)});
  std::vector<u64> into = links_by_target[a];
  for (u64 li : into) {
    const ElLink l = links[li];
    mark_proved(l.source, ProofRule::BottomSource, {Fact::bottom(a), Fact::link(l.source, l.role, l.target)});
  }
  auto w = watch_of.find(a);
  if (w == watch_of.end()) return;
  DisjunctionWatch& watch = watches[w->second];
  if (watch.done) return;
  std::size_t left = 0;
  std::optional<u32> alternative;
  for (std::size_t i = 0; i < watch.refuters.size(); ++i) {
    if (result.unsat.test(watch.refuters[i])) continue;
    ++left;
    alternative = i < watch.alternatives.size() ? std::optional<u32>(watch.alternatives[i]) : std::nullopt;
  }
  if (left == 0) {
    watch.done = true;
    mark(watch.owner);
  } else if (left == 1 && alternative) {
    watch.done = true;
    enqueue_for_subsumees(watch.owner, *alternative);
  }
}

}  // namespace kelmon::sat
