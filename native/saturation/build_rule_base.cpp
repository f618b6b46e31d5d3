#include "saturation/internal/build_rule_base.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "common/switches.h"
#include "saturation/internal/normalise.h"

namespace kelmon::sat {

namespace {

void sort_unique(std::vector<u32>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

// Calls f(sub, sup) for every class inclusion the normaliser reads, in order.
template <class F>
void for_each_class_pair(const Axiom& axiom, F&& f) {
  if (const auto* s = std::get_if<SubClassOf>(&axiom)) {
    f(s->sub, s->sup);
  } else if (const auto* eq = std::get_if<EquivalentClasses>(&axiom)) {
    for (std::size_t i = 0; i < eq->members.size(); ++i)
      for (std::size_t j = 0; j < eq->members.size(); ++j)
        if (i != j) f(eq->members[i], eq->members[j]);
  }
}

// Step 6: nominal successors over transitive roles, from the assertions.
void transitive_assertions(const InternalOntology& ontology, RuleBase& rules, SyntheticIds& ids) {
  IdSet<u32> transitive;
  for (const Axiom& axiom : ontology.axioms)
    if (const auto* t = std::get_if<TransitiveRole>(&axiom); t != nullptr && t->role.is_named())
      transitive.insert(t->role.id.v);
  if (transitive.empty()) return;
  // role → subject → objects
  IdMap<u32, IdMap<u32, std::vector<u32>>> edges;
  std::vector<u32> roles_in_order;
  for (const Axiom& axiom : ontology.axioms) {
    const auto* a = std::get_if<ObjectPropertyAssertion>(&axiom);
    if (a == nullptr || !a->role.is_named() || !transitive.contains(a->role.id.v)) continue;
    auto [it, fresh] = edges.try_emplace(a->role.id.v);
    if (fresh) roles_in_order.push_back(a->role.id.v);
    edges[a->role.id.v][a->subject.v].push_back(a->object.v);
  }
  for (u32 r : roles_in_order) {
    const auto& graph = edges[r];
    std::vector<u32> subjects;
    for (const auto& [subject, objects] : graph) subjects.push_back(subject);
    std::sort(subjects.begin(), subjects.end());
    for (u32 a : subjects) {
      // Everything reachable over one or more edges; a itself only by a direct r(a, a).
      IdSet<u32> reach;
      std::vector<u32> stack;
      for (u32 b : graph.at(a))
        if (reach.insert(b).second) stack.push_back(b);
      while (!stack.empty()) {
        u32 c = stack.back();
        stack.pop_back();
        auto it = graph.find(c);
        if (it == graph.end()) continue;
        for (u32 d : it->second) {
          if (d == a) continue;
          if (reach.insert(d).second) stack.push_back(d);
        }
      }
      if (reach.empty()) continue;
      std::vector<u32> sorted(reach.begin(), reach.end());
      std::sort(sorted.begin(), sorted.end());
      u32 na = ids.intern_individual(a);
      std::vector<u32> successors;
      for (u32 c : sorted) successors.push_back(ids.intern_individual(c));
      rules.transitive_successors[PairKey{r, na}] = std::move(successors);
    }
  }
}

}  // namespace

u32 class_count_of(const InternalOntology& ontology) {
  const std::size_t c = ontology.vocabulary.classes.size();
  invariant(c <= std::numeric_limits<u32>::max(), "class count fits in u32");
  return static_cast<u32>(c);
}

void collect_role_axioms(const InternalOntology& ontology, RuleBase& rules) {
  const ConceptPool& pool = ontology.concepts;
  for (const Axiom& axiom : ontology.axioms) {
    if (const auto* d = std::get_if<DisjointClasses>(&axiom)) {
      std::vector<u32> named;
      for (ConceptId m : d->members)
        if (const auto* a = std::get_if<Atomic>(&pool.get(m))) named.push_back(a->cls.v);
      for (std::size_t i = 0; i < named.size(); ++i)
        for (std::size_t j = i + 1; j < named.size(); ++j) rules.disjoint_pairs.emplace_back(named[i], named[j]);
    } else if (const auto* s = std::get_if<SubObjectPropertyOf>(&axiom)) {
      const auto* chain = std::get_if<Chain>(&s->sub);
      if (chain != nullptr && chain->roles.size() == 2 && chain->roles[0].is_named() && chain->roles[1].is_named() &&
          s->sup.is_named())
        rules.role_chains.push_back(RoleChainRule{chain->roles[0].id.v, chain->roles[1].id.v, s->sup.id.v});
    } else if (const auto* dom = std::get_if<ObjectPropertyDomain>(&axiom)) {
      if (std::holds_alternative<Bottom>(pool.get(dom->domain))) {
        rules.empty_roles.insert(dom->role.id.v);
      } else if (auto named = named_conjuncts_deep(pool, dom->domain); !named.empty()) {
        auto& list = dom->role.is_named() ? rules.domains[dom->role.id.v] : rules.ranges[dom->role.id.v];
        list.insert(list.end(), named.begin(), named.end());
      }
    } else if (const auto* ran = std::get_if<ObjectPropertyRange>(&axiom)) {
      if (std::holds_alternative<Bottom>(pool.get(ran->range))) {
        rules.empty_roles.insert(ran->role.id.v);
      } else if (auto named = named_conjuncts_deep(pool, ran->range); !named.empty()) {
        auto& list = ran->role.is_named() ? rules.ranges[ran->role.id.v] : rules.domains[ran->role.id.v];
        list.insert(list.end(), named.begin(), named.end());
      }
    } else if (const auto* t = std::get_if<TransitiveRole>(&axiom)) {
      if (t->role.is_named()) rules.role_chains.push_back(RoleChainRule{t->role.id.v, t->role.id.v, t->role.id.v});
    }
  }
}

std::vector<u32> inherited_ranges(const RuleBase& rules, const RoleClosure& closure, u32 role) {
  std::vector<u32> out;
  if (role >= closure.size()) return out;
  for (u32 s : closure[role])
    if (auto it = rules.ranges.find(s); it != rules.ranges.end()) out.insert(out.end(), it->second.begin(), it->second.end());
  sort_unique(out);
  return out;
}

RangeMaps build_range_maps(const RuleBase& rules, const RoleClosure& closure) {
  RangeMaps maps;
  if (!rules.ranges.empty()) {
    for (std::size_t r = 0; r < closure.size(); ++r) {
      auto list = inherited_ranges(rules, closure, static_cast<u32>(r));
      if (!list.empty()) maps.role_ranges.emplace(static_cast<u32>(r), std::move(list));
    }
  }
  for (const RoleChainRule& ch : rules.role_chains) {
    auto it = maps.role_ranges.find(ch.s);
    if (it == maps.role_ranges.end()) continue;
    auto& list = maps.chain_ranges[PairKey{ch.r1, ch.r2}];
    list.insert(list.end(), it->second.begin(), it->second.end());
    sort_unique(list);
  }
  return maps;
}

void one_of_subsumers(const ConceptPool& pool, const IdMap<u32, std::vector<u32>>& asserted, ConceptId sub,
                      ConceptId sup, RuleBase& rules) {
  const auto* a = std::get_if<Atomic>(&pool.get(sub));
  const auto* o = std::get_if<Or>(&pool.get(sup));
  if (a == nullptr || o == nullptr) return;
  std::vector<u32> individuals;
  for (ConceptId m : o->members) {
    const auto* n = std::get_if<Nominal>(&pool.get(m));
    if (n == nullptr) return;
    individuals.push_back(n->individual.v);
  }
  std::vector<u32> common;
  for (std::size_t i = 0; i < individuals.size(); ++i) {
    auto it = asserted.find(individuals[i]);
    if (it == asserted.end()) return;
    if (i == 0) {
      common = it->second;
    } else {
      std::vector<u32> next;
      std::set_intersection(common.begin(), common.end(), it->second.begin(), it->second.end(), std::back_inserter(next));
      common = std::move(next);
    }
    if (common.empty()) return;
  }
  for (u32 d : common) rules.told.emplace_back(a->cls.v, d);
}

BuiltRuleBase build_rule_base(const InternalOntology& ontology, const RoleClosure& closure) {
  const u32 class_count = class_count_of(ontology);
  const ConceptPool& pool = ontology.concepts;
  RuleBase rules;
  SyntheticIds ids(class_count);

  collect_role_axioms(ontology, rules);
  const RangeMaps maps = build_range_maps(rules, closure);

  NormaliseContext ctx{pool, rules, ids, maps.role_ranges, maps.chain_ranges};
  for (const Axiom& axiom : ontology.axioms)
    for_each_class_pair(axiom, [&](ConceptId sub, ConceptId sup) { normalise_gci(sub, sup, ctx); });

  if (!ids.individuals.empty()) transitive_assertions(ontology, rules, ids);

  for (const auto& [key, f] : ids.forall_nominals)
    for (u32 a : key.second) rules.forall_nominal_index[PairKey{key.first, a}].push_back(f);
  for (const auto& [a, n] : ids.individuals) rules.nominal_individuals[n] = a;
  for (const auto& [key, m] : ids.at_most) {
    if (key.first != 1) continue;
    rules.at_most_one[key.second] = m;
    rules.at_most_one_roles[m] = key.second;
  }

  if (!ids.foralls.empty()) {
    // ∀r.X ⊑ ∀r.Y for every told X ⊑ Y; indexed by class to avoid a scan per pair.
    IdMap<u32, std::vector<std::pair<u32, u32>>> by_class;  // class → (role, id)
    for (const auto& [key, f] : ids.foralls) by_class[key.second].emplace_back(key.first, f);
    const auto told = rules.told;
    std::vector<std::pair<u32, u32>> collected;
    for (auto [x, y] : told) {
      if (x == y) continue;
      auto it = by_class.find(x);
      if (it == by_class.end()) continue;
      for (auto [r, f] : it->second)
        if (auto g = ids.foralls.find(PairKey{r, y}); g != ids.foralls.end()) collected.emplace_back(f, g->second);
    }
    rules.told.insert(rules.told.end(), collected.begin(), collected.end());
  }

  const u64 concept_count = ids.next_id;
  const std::size_t role_count = ontology.vocabulary.roles.size();
  invariant(role_count <= std::size_t{std::numeric_limits<u32>::max()} + 1, "role id fits in u32");
  rules.functional_role_set.assign(role_count, false);
  for (const Axiom& axiom : ontology.axioms)
    if (const auto* f = std::get_if<FunctionalRole>(&axiom); f != nullptr && f->role.is_named() && f->role.id.v < role_count)
      rules.functional_role_set[f->role.id.v] = true;
  rules.functional_supers.assign(role_count, {});
  for (std::size_t r = 0; r < role_count; ++r) {
    if (r >= closure.size()) continue;
    for (u32 s : closure[r])
      if (s < role_count && rules.functional_role_set[s]) rules.functional_supers[r].push_back(s);
  }

  if (switch_flag(SwitchId::NominalTyping)) {
    for (const Axiom& axiom : ontology.axioms) {
      const auto* ca = std::get_if<ClassAssertion>(&axiom);
      if (ca == nullptr) continue;
      auto n = ids.individuals.find(ca->individual.v);
      if (n == ids.individuals.end()) continue;
      for (u32 d : named_conjuncts(pool, ca->concept_id)) rules.told.emplace_back(n->second, d);
    }
  }

  if (switch_flag(SwitchId::OneofSubsumer)) {
    IdMap<u32, std::vector<u32>> asserted;
    for (const Axiom& axiom : ontology.axioms) {
      const auto* ca = std::get_if<ClassAssertion>(&axiom);
      if (ca == nullptr) continue;
      auto& set = asserted[ca->individual.v];
      for (u32 d : named_conjuncts(pool, ca->concept_id)) set.push_back(d);
    }
    for (auto it = asserted.begin(); it != asserted.end(); ++it) sort_unique(it.value());
    for (const Axiom& axiom : ontology.axioms)
      for_each_class_pair(axiom, [&](ConceptId sub, ConceptId sup) { one_of_subsumers(pool, asserted, sub, sup, rules); });
  }

  if (!rules.empty_roles.empty()) {
    for (const auto& [key, e] : ids.existentials) {
      const u32 r = key.first;
      bool empty = rules.empty_roles.contains(r);
      if (!empty && r < closure.size())
        for (u32 s : closure[r]) empty = empty || rules.empty_roles.contains(s);
      if (empty) rules.initially_unsat.push_back(e);
    }
  }

  rules.role_ranges = maps.role_ranges;
  return BuiltRuleBase{std::move(rules), std::move(ids), concept_count};
}

}  // namespace kelmon::sat
