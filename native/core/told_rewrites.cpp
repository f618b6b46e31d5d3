#include "core/told_rewrites.h"

#include <algorithm>

#include "common/overload.h"

namespace kelmon {

namespace {

std::optional<ClassId> atomic_class(const ConceptPool& pool, ConceptId id) {
  if (const Atomic* a = std::get_if<Atomic>(&pool.get(id))) return a->cls;
  return std::nullopt;
}

// The members of an Or whose members are all Atomic, as (concept, class).
std::optional<std::vector<std::pair<ConceptId, ClassId>>> atomic_disjuncts(const ConceptPool& pool, ConceptId id) {
  const Or* u = std::get_if<Or>(&pool.get(id));
  if (u == nullptr) return std::nullopt;
  std::vector<std::pair<ConceptId, ClassId>> out;
  out.reserve(u->members.size());
  for (ConceptId m : u->members) {
    auto c = atomic_class(pool, m);
    if (!c) return std::nullopt;
    out.emplace_back(m, *c);
  }
  return out;
}

struct ExistentialCandidate {
  ConceptId sub;
  ClassId cls;
  Role role;
};
struct AtomicCandidate {
  ConceptId sub;
  ClassId cls;
};
struct RoleCandidate {
  bool is_range;
  Role role;
  ClassId cls;
};

}  // namespace

void split_union_antecedents(InternalOntology& ontology) {
  const ConceptPool& pool = ontology.concepts;
  std::vector<Axiom> out;
  out.reserve(ontology.axioms.size());
  for (Axiom& axiom : ontology.axioms) {
    if (const SubClassOf* a = std::get_if<SubClassOf>(&axiom)) {
      if (const Or* u = std::get_if<Or>(&pool.get(a->sub))) {
        for (ConceptId m : u->members) out.push_back(SubClassOf{m, a->sup});
        continue;
      }
    }
    out.push_back(std::move(axiom));
  }
  ontology.axioms = std::move(out);
}

std::vector<ClassId> minimal_told_filter(std::span<const ClassId> candidates, const ToldTables& tables) {
  std::vector<ClassId> out;
  for (ClassId x : candidates) {
    bool dropped = std::any_of(candidates.begin(), candidates.end(), [&](ClassId y) {
      return y != x && tables.supers.contains(y, x) && !tables.supers.contains(x, y);
    });
    if (!dropped) out.push_back(x);
  }
  return out;
}

std::vector<ClassId> told_common_subsumers(const ConceptPool& pool, ConceptId union_id, const ToldTables& tables) {
  auto disjuncts = atomic_disjuncts(pool, union_id);
  if (!disjuncts || disjuncts->size() < 2) return {};
  auto first = tables.supers[disjuncts->front().second];
  std::vector<ClassId> candidates(first.begin(), first.end());
  for (std::size_t i = 1; i < disjuncts->size() && !candidates.empty(); ++i) {
    ClassId member = (*disjuncts)[i].second;
    std::erase_if(candidates, [&](ClassId c) { return !tables.supers.contains(member, c); });
  }
  if (candidates.empty()) return {};
  return minimal_told_filter(candidates, tables);
}

std::optional<ToldTables> add_union_common_subsumers(InternalOntology& ontology) {
  ToldTables tables = ToldTables::build(ontology);
  ConceptPool& pool = ontology.concepts;
  std::vector<ExistentialCandidate> existential;
  std::vector<AtomicCandidate> atomic;
  std::vector<RoleCandidate> role_bound;
  auto common = [&](ConceptId u) { return told_common_subsumers(pool, u, tables); };
  auto add_existential = [&](ConceptId sub, const Some& s) {
    for (ClassId c : common(s.filler)) existential.push_back({sub, c, s.role});
  };
  auto add_atomic = [&](ConceptId sub, ConceptId u) {
    for (ClassId c : common(u)) atomic.push_back({sub, c});
  };

  for (const Axiom& axiom : ontology.axioms) {
    std::visit(Overload{
                   [&](const ObjectPropertyDomain& a) {
                     if (std::holds_alternative<Or>(pool.get(a.domain)))
                       for (ClassId c : common(a.domain)) role_bound.push_back({false, a.role, c});
                   },
                   [&](const ObjectPropertyRange& a) {
                     if (std::holds_alternative<Or>(pool.get(a.range)))
                       for (ClassId c : common(a.range)) role_bound.push_back({true, a.role, c});
                   },
                   [&](const SubClassOf& a) {
                     const Concept& sup = pool.get(a.sup);
                     if (const Some* s = std::get_if<Some>(&sup)) {
                       add_existential(a.sub, *s);
                     } else if (std::holds_alternative<Or>(sup)) {
                       add_atomic(a.sub, a.sup);
                     } else if (const And* conj = std::get_if<And>(&sup)) {
                       for (ConceptId m : conj->members) {
                         const Concept& member = pool.get(m);
                         if (std::holds_alternative<Or>(member)) add_atomic(a.sub, m);
                         else if (const Some* s = std::get_if<Some>(&member)) add_existential(a.sub, *s);
                       }
                     }
                   },
                   [&](const EquivalentClasses& a) {
                     const auto& list = a.members;
                     for (std::size_t i = 0; i < list.size(); ++i) {
                       for (std::size_t j = 0; j < list.size(); ++j) {
                         if (i == j) continue;
                         auto b = atomic_class(pool, list[i]);
                         if (!b) continue;
                         const Or* u = std::get_if<Or>(&pool.get(list[j]));
                         if (u == nullptr) continue;
                         add_atomic(list[i], list[j]);
                         for (ConceptId m : u->members)
                           if (atomic_class(pool, m)) atomic.push_back({m, *b});
                       }
                     }
                   },
                   [](const auto&) {},
               },
               axiom);
  }

  if (existential.empty() && atomic.empty() && role_bound.empty()) return tables;
  const std::size_t before = ontology.axioms.size();
  for (const ExistentialCandidate& e : existential) {
    ConceptId filler = pool.intern(Atomic{e.cls});
    ConceptId x = pool.intern(Some{filler, e.role});
    if (e.sub != x) ontology.axioms.push_back(SubClassOf{e.sub, x});
  }
  for (const AtomicCandidate& a : atomic) {
    ConceptId x = pool.intern(Atomic{a.cls});
    if (a.sub != x) ontology.axioms.push_back(SubClassOf{a.sub, x});
  }
  for (const RoleCandidate& r : role_bound) {
    ConceptId x = pool.intern(Atomic{r.cls});
    if (r.is_range) ontology.axioms.push_back(ObjectPropertyRange{r.role, x});
    else ontology.axioms.push_back(ObjectPropertyDomain{r.role, x});
  }
  if (ontology.axioms.size() == before) return tables;
  return std::nullopt;
}

std::vector<ConceptId> told_disjoint_survivors(std::span<const std::pair<ConceptId, ClassId>> disjuncts, ClassId a,
                                               const ToldTables& tables) {
  std::vector<ConceptId> out;
  auto supers = tables.supers[a];
  for (const auto& [concept_id, b] : disjuncts) {
    bool killed = tables.are_disjoint(a, b) ||
                  std::any_of(supers.begin(), supers.end(), [&](ClassId g) { return tables.are_disjoint(g, b); });
    if (!killed) out.push_back(concept_id);
  }
  return out;
}

void prune_told_disjoint_unions(InternalOntology& ontology, std::optional<ToldTables> given) {
  ToldTables tables = given ? std::move(*given) : ToldTables::build(ontology);
  ConceptPool& pool = ontology.concepts;
  // (sub, superclass) records; nullopt stands for Bottom, interned once at the end.
  std::vector<std::pair<ConceptId, std::optional<ConceptId>>> records;
  for (const Axiom& axiom : ontology.axioms) {
    const SubClassOf* a = std::get_if<SubClassOf>(&axiom);
    if (a == nullptr) continue;
    auto sub_class = atomic_class(pool, a->sub);
    if (!sub_class) continue;
    auto disjuncts = atomic_disjuncts(pool, a->sup);
    if (!disjuncts) continue;
    auto survivors = told_disjoint_survivors(*disjuncts, *sub_class, tables);
    if (survivors.empty()) records.emplace_back(a->sub, std::nullopt);
    else if (survivors.size() == 1) records.emplace_back(a->sub, survivors.front());
  }
  if (records.empty()) return;
  ConceptId bottom = pool.intern(Bottom{});
  for (const auto& [sub, sup] : records) {
    ConceptId x = sup.value_or(bottom);
    if (sub != x) ontology.axioms.push_back(SubClassOf{sub, x});
  }
}

}  // namespace kelmon
