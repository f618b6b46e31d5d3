#include "saturation/internal/engine.h"

#include <algorithm>
#include <bit>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"

namespace kelmon::sat {

bool IdBitSet::set(std::uint32_t i) {
  invariant(i < size_, "IdBitSet: id past the end");
  std::uint64_t bit = std::uint64_t{1} << (i % 64);
  bool was_clear = (words_[i / 64] & bit) == 0;
  words_[i / 64] |= bit;
  return was_clear;
}

std::size_t IdBitSet::count() const {
  std::size_t n = 0;
  for (auto w : words_) n += static_cast<std::size_t>(std::popcount(w));
  return n;
}

ElEngine::ElEngine(u64 class_count_in, u64 concept_count_in, RuleBase rules_in, SyntheticIds ids_in,
                   std::vector<std::vector<u32>> super_roles_in, bool proof_enabled_in,
                   std::unique_ptr<ProofStore> proof_in)
    : rules(std::move(rules_in)),
      super_roles(std::move(super_roles_in)),
      ids(std::move(ids_in)),
      proof(std::move(proof_in)),
      class_count(class_count_in),
      concept_count(concept_count_in),
      dedup(switch_flag(SwitchId::SatEnqueueDedup)),
      proof_enabled(proof_enabled_in) {
  invariant(concept_count <= u64{std::numeric_limits<u32>::max()} + 1, "class count fits in u32");
  invariant(ids.next_id >= concept_count, "synthetic ids start past the engine's ids");
  const u64 n = concept_count;
  conj_index.assign(n);
  bottom_conj_index.assign(n);
  exists_left_index.assign(n);
  disjoint_partners.assign(n);
  told_supers.assign(n);
  for (auto [a, b] : rules.told) told_supers.push(a, b);
  for (std::size_t i = 0; i < rules.conjunction_rules.size(); ++i)
    for (u32 c : rules.conjunction_rules[i].conjuncts) conj_index.push(c, static_cast<u32>(i));
  for (std::size_t i = 0; i < rules.bottom_conjunctions.size(); ++i)
    for (u32 c : rules.bottom_conjunctions[i]) bottom_conj_index.push(c, static_cast<u32>(i));
  for (std::size_t i = 0; i < rules.exists_left_rules.size(); ++i)
    exists_left_index.push(rules.exists_left_rules[i].filler, static_cast<u32>(i));
  for (auto [a, b] : rules.disjoint_pairs) {
    disjoint_partners.push(a, b);
    disjoint_partners.push(b, a);
  }
  for (auto& list : super_roles) {
    std::sort(list.begin(), list.end());
    list.erase(std::unique(list.begin(), list.end()), list.end());
  }
  // Role tests run for every link a rule looks at; up to a few thousand
  // roles a bit matrix answers them with one load.
  if (super_roles.size() <= kRoleMatrixMax) {
    role_words_ = (super_roles.size() + 63) / 64;
    std::vector<u64> matrix(super_roles.size() * role_words_, 0);
    for (std::size_t r = 0; r < super_roles.size(); ++r)
      for (u32 q : super_roles[r])
        if (q < super_roles.size()) matrix[r * role_words_ + q / 64] |= u64{1} << (q % 64);
    role_matrix_ = std::make_shared<const std::vector<u64>>(std::move(matrix));
  }
  result.subsumers = SubsumerTable(n);
  subsumees = SubsumerTable(n);
  result.unsat = IdBitSet(n);
  links_by_source.assign(n);
  links_by_target.assign(n);
  for (const auto& [list, id] : ids.conjunctions) conjuncts_of.emplace(id, list);
}

ElEngine::ElEngine(ForkTag, const ElEngine& base)
    : result{SubsumerTable::overlay_of(base.result.subsumers), base.result.unsat, base.result.top_is_bottom,
             base.result.inconsistent},
      subsumees(SubsumerTable::overlay_of(base.subsumees)),
      links(decltype(links)::layer_over(base.links)),
      link_is_copy(decltype(link_is_copy)::layer_over(base.link_is_copy)),
      link_set(decltype(link_set)::layer_over(base.link_set)),
      links_by_source(decltype(links_by_source)::layer_over(base.links_by_source)),
      links_by_target(decltype(links_by_target)::layer_over(base.links_by_target)),
      pair_queue(base.pair_queue),
      link_queue(base.link_queue),
      bottom_queue(base.bottom_queue),
      rules(base.rules),
      super_roles(base.super_roles),
      conj_index(decltype(conj_index)::layer_over(base.conj_index)),
      bottom_conj_index(decltype(bottom_conj_index)::layer_over(base.bottom_conj_index)),
      exists_left_index(decltype(exists_left_index)::layer_over(base.exists_left_index)),
      disjoint_partners(decltype(disjoint_partners)::layer_over(base.disjoint_partners)),
      told_supers(decltype(told_supers)::layer_over(base.told_supers)),
      ids(base.ids),
      functional_targets(base.functional_targets),
      conjuncts_of(base.conjuncts_of),
      watches(base.watches),
      watch_of(base.watch_of),
      proof(nullptr),
      class_count(base.class_count),
      concept_count(base.concept_count),
      dedup(base.dedup),
      proof_enabled(false),
      role_matrix_(base.role_matrix_),
      role_words_(base.role_words_) {}

ElEngine ElEngine::fork() const { return ElEngine(ForkTag{}, *this); }

void ElEngine::mark(u32 id) {
  if (!result.unsat.test(id)) bottom_queue.push(id);
}

void ElEngine::mark_proved(u32 id, ProofRule rule, std::vector<Fact> premises) {
  if (proving() && !result.unsat.test(id)) proof->record(Fact::bottom(id), Derivation{rule, std::move(premises), {}});
  mark(id);
}

void ElEngine::queue_proved(u32 x, u32 y, ProofRule rule, std::vector<Fact> premises, std::vector<u32> axioms) {
  if (result.subsumers.contains(x, y)) return;
  if (proving()) proof->record(Fact::sub(x, y), Derivation{rule, std::move(premises), std::move(axioms)});
  enqueue_if_absent(x, y);
}

std::vector<u32> ElEngine::axioms_of(const std::vector<std::optional<u32>>& list, std::size_t index) const {
  auto a = provenance_at(list, index);
  return a ? std::vector<u32>{*a} : std::vector<u32>{};
}

std::vector<u32> ElEngine::domain_axioms(u32 role, u32 cls) const {
  for (const auto& e : proof->domain_entries)
    if (e.role == role && e.cls == cls) return {e.axiom};
  return {};
}

std::vector<u32> ElEngine::disjoint_axioms(u32 a, u32 b) const {
  for (std::size_t i = 0; i < rules.disjoint_pairs.size(); ++i) {
    auto [p, q] = rules.disjoint_pairs[i];
    if ((p == a && q == b) || (p == b && q == a)) {
      if (auto ax = provenance_at(proof->disjoint_pairs, i)) return {*ax};
    }
  }
  return {};
}

void ElEngine::enqueue_pair(u32 x, u32 y) {
  if (dedup) {
    if (!result.subsumers.insert(x, y)) return;
    subsumees.insert(y, x);
  } else if (proving() && !pending_.insert((u64{x} << 32) | y).second) {
    return;
  }
  pair_queue.push({x, y});
}

void ElEngine::enqueue_if_absent(u32 x, u32 y) {
  if (!dedup && result.subsumers.contains(x, y)) return;
  enqueue_pair(x, y);
}

void ElEngine::enqueue_for_subsumees(u32 x, u32 y) {
  told_supers.push(x, y);
  enqueue_if_absent(x, y);
  std::vector<u32> below;
  subsumees.row_into(x, below);
  for (u32 w : below) enqueue_if_absent(w, y);
}

void ElEngine::seed_ids_from(u64 first) {
  // Every id, whatever made it, lies below ⊤ and so below ⊤'s subsumers.
  for (u64 i = first; i < concept_count; ++i) {
    u32 id = static_cast<u32>(i);
    for (u32 c : rules.global_subsumers) enqueue_pair(id, c);
    if (ids.top) enqueue_pair(id, *ids.top);
  }
}

void ElEngine::seed() {
  invariant(concept_count <= u64{std::numeric_limits<u32>::max()} + 1, "class count fits in u32");
  for (u64 i = 0; i < concept_count; ++i) enqueue_pair(static_cast<u32>(i), static_cast<u32>(i));
  for (std::size_t i = 0; i < rules.told.size(); ++i) {
    auto [x, y] = rules.told[i];
    enqueue_pair(x, y);
    if (proving()) proof->record(Fact::sub(x, y), Derivation{ProofRule::Told, {}, axioms_of(proof->told, i)});
  }
  seed_ids_from(0);
  for (std::size_t i = 0; i < rules.link_rules.size(); ++i) {
    const LinkRule& l = rules.link_rules[i];
    if (proving())
      proof->record(Fact::link(l.sub, l.role, l.filler),
                    Derivation{ProofRule::ToldLink, {}, axioms_of(proof->link_rules, i)});
    add_link(ElLink{l.sub, l.role, l.filler}, std::nullopt);
  }
  for (std::size_t i = 0; i < rules.initially_unsat.size(); ++i) {
    u32 m = rules.initially_unsat[i];
    if (proving())
      proof->record(Fact::bottom(m), Derivation{ProofRule::ToldBottom, {}, axioms_of(proof->initially_unsat, i)});
    mark(m);
  }
  if (rules.top_is_bottom) {
    // ⊤ ⊑ ⊥ empties every id, synthetic ones included.
    for (u64 i = 0; i < concept_count; ++i) mark(static_cast<u32>(i));
  }
  if (proving()) {
    for (u64 i = 0; i < class_count; ++i)
      proof->record(Fact::sub(static_cast<u32>(i), static_cast<u32>(i)), Derivation{ProofRule::Reflexive, {}, {}});
  }
  for (const auto& [owner, disjunctions] : rules.unions) {
    for (const auto& alternatives : disjunctions) {
      DisjunctionWatch w;
      w.alternatives = alternatives;
      w.owner = owner;
      for (u32 b : alternatives) w.refuters.push_back(add_conjunction({owner, b}));
      u32 index = static_cast<u32>(watches.size());
      for (u32 r : w.refuters) watch_of[r] = index;
      watches.push_back(std::move(w));
    }
  }
}

void ElEngine::insert_link(const ElLink& link, std::optional<Fact> reason, bool copy) {
  if (reason && proving()) {
    u32 d = reason->tag == FactTag::Link ? reason->a : link.source;
    proof->record(Fact::link(link.source, link.role, link.target),
                  Derivation{ProofRule::LinkInheritance, {Fact::sub(link.source, d), *reason}, {}});
  }
  u64 index = links.size();
  links.push_back(link);
  link_is_copy.push_back(copy ? 1 : 0);
  links_by_source.push(link.source, index);
  links_by_target.push(link.target, index);
  link_queue.push(index);
}

bool ElEngine::add_link(ElLink link, std::optional<Fact> reason, bool copy) {
  if (!link_set.insert(link)) return false;
  insert_link(link, reason, copy || reason.has_value());
  std::vector<u32> below;
  if (!proving()) {
    // The subsumees row is closed under the pairs processed so far, so one
    // pass over it reaches every subsumee that has one; a subsumee whose pair
    // is still queued inherits the link when that pair is processed.
    subsumees.row_into(link.source, below);
    for (u32 w : below) {
      if (w == link.source) continue;
      ElLink c{w, link.role, link.target};
      if (link_set.insert(c)) insert_link(c, Fact::link(link.source, link.role, link.target), true);
    }
    return true;
  }
  // Copy the link down to every subsumee of its source, depth first, with an
  // explicit stack: the chain of subsumees may be as deep as the hierarchy.
  struct Pending {
    ElLink link;
    ElLink parent;
  };
  std::vector<Pending> stack;
  auto push_below = [&](const ElLink& parent) {
    subsumees.row_into(parent.source, below);
    for (auto it = below.rbegin(); it != below.rend(); ++it)
      if (*it != parent.source) stack.push_back({ElLink{*it, parent.role, parent.target}, parent});
  };
  push_below(link);
  while (!stack.empty()) {
    Pending p = stack.back();
    stack.pop_back();
    if (!link_set.insert(p.link)) continue;
    insert_link(p.link, Fact::link(p.parent.source, p.parent.role, p.parent.target), true);
    push_below(p.link);
  }
  return true;
}

std::vector<u32> ElEngine::conjunct_set(u32 id) const {
  if (auto it = conjuncts_of.find(id); it != conjuncts_of.end()) return it->second;
  return {id};
}

void ElEngine::grow_ids(u64 n) {
  if (n <= concept_count) return;
  result.subsumers.grow(n);
  result.unsat.resize(n);
  subsumees.grow(n);
  links_by_source.resize(n);
  links_by_target.resize(n);
  conj_index.resize(n);
  bottom_conj_index.resize(n);
  exists_left_index.resize(n);
  disjoint_partners.resize(n);
  told_supers.resize(n);
  concept_count = n;
}

u32 ElEngine::add_conjunction(std::vector<u32> conjuncts) {
  std::size_t told_before = rules.told.size();
  std::size_t rules_before = rules.conjunction_rules.size();
  std::vector<u32> given = conjuncts;
  u32 id = ids.intern_conjunction(std::move(conjuncts), rules);
  if (rules.told.size() == told_before && rules.conjunction_rules.size() == rules_before) return id;
  std::vector<u32> members;
  for (u32 c : given) {
    auto part = conjunct_set(c);
    members.insert(members.end(), part.begin(), part.end());
  }
  std::sort(members.begin(), members.end());
  members.erase(std::unique(members.begin(), members.end()), members.end());
  conjuncts_of[id] = std::move(members);
  u64 first_new = concept_count;
  if (id >= concept_count) grow_ids(u64{id} + 1);
  for (std::size_t i = rules_before; i < rules.conjunction_rules.size(); ++i)
    for (u32 c : rules.conjunction_rules[i].conjuncts) conj_index.push(c, static_cast<u32>(i));
  for (std::size_t i = told_before; i < rules.told.size(); ++i) {
    auto [a, b] = rules.told[i];
    told_supers.push(a, b);
    enqueue_pair(a, b);
  }
  if (concept_count > first_new) {
    for (u64 i = first_new; i < concept_count; ++i) enqueue_pair(static_cast<u32>(i), static_cast<u32>(i));
    seed_ids_from(first_new);
  }
  return id;
}

bool ElEngine::step() {
  if (!pair_queue.empty()) {
    auto [x, y] = pair_queue.pop();
    if (!dedup && proving()) pending_.erase((u64{x} << 32) | y);
    process_pair(x, y);
  } else if (!link_queue.empty()) {
    process_link(link_queue.pop());
  } else if (!bottom_queue.empty()) {
    process_bottom(bottom_queue.pop());
  } else {
    return false;
  }
  return true;
}

void ElEngine::finish_flags() {
  result.top_is_bottom = rules.top_is_bottom;
  bool inconsistent = false;
  for (u32 c : rules.global_subsumers) {
    if (result.unsat.test(c)) {
      inconsistent = true;
      break;
    }
  }
  if (ids.top && result.unsat.test(*ids.top)) inconsistent = true;
  result.inconsistent = inconsistent;
}

void ElEngine::run() {
  while (step()) {
  }
  finish_flags();
}

}  // namespace kelmon::sat
