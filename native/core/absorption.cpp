#include "core/absorption.h"

#include <algorithm>
#include <span>

#include "common/overload.h"
#include "common/switches.h"

namespace kelmon {

namespace {

// The disjuncts of a union: its members, or the concept alone.
std::span<const ConceptId> disjuncts_of(const ConceptPool& pool, const ConceptId& id) {
  if (const Or* u = std::get_if<Or>(&pool.get(id))) return u->members;
  return std::span<const ConceptId>(&id, 1);
}

// The union of every disjunct but the one at `skip`, in order.
ConceptId union_without(ConceptPool& pool, std::span<const ConceptId> disjuncts, std::size_t skip) {
  std::vector<ConceptId> rest;
  rest.reserve(disjuncts.size());
  for (std::size_t i = 0; i < disjuncts.size(); ++i) {
    if (i != skip) rest.push_back(disjuncts[i]);
  }
  return pool.mk_or(std::move(rest));
}

ConceptId negation_nnf(ConceptPool& pool, ConceptId c) { return pool.nnf(pool.intern(Not{c})); }

// ¬∃r.⊤ written as ≤0 r.⊤ or ∀r.⊥: the role, if the disjunct is one of them.
std::optional<Role> no_successor_role(const ConceptPool& pool, ConceptId d) {
  const Concept& c = pool.get(d);
  if (const Max* m = std::get_if<Max>(&c)) {
    if (m->n == 0 && std::holds_alternative<Top>(pool.get(m->filler))) return m->role;
  } else if (const All* a = std::get_if<All>(&c)) {
    if (std::holds_alternative<Bottom>(pool.get(a->filler))) return a->role;
  }
  return std::nullopt;
}

struct NominalEdge {
  Role role;
  IndividualId individual;
};

// ¬∃r.{o} written as ≤0 r.{o} or ∀r.¬{o}.
std::optional<NominalEdge> no_edge_to_nominal(const ConceptPool& pool, ConceptId d) {
  const Concept& c = pool.get(d);
  if (const Max* m = std::get_if<Max>(&c)) {
    if (m->n != 0) return std::nullopt;
    if (const Nominal* o = std::get_if<Nominal>(&pool.get(m->filler))) return NominalEdge{m->role, o->individual};
  } else if (const All* a = std::get_if<All>(&c)) {
    if (const Not* n = std::get_if<Not>(&pool.get(a->filler))) {
      if (const Nominal* o = std::get_if<Nominal>(&pool.get(n->operand))) return NominalEdge{a->role, o->individual};
    }
  }
  return std::nullopt;
}

// Walks global in order and replaces each entry that `convert` takes by what it makes.
template <class Convert>
void absorb_global_entries(AbsorbedTbox& tbox, Convert convert) {
  std::vector<ConceptId> kept;
  kept.reserve(tbox.global_concepts.size());
  for (ConceptId g : tbox.global_concepts) {
    if (!convert(g)) kept.push_back(g);
  }
  tbox.global_concepts = std::move(kept);
}

}  // namespace

void absorb_gci(ConceptId sub, ConceptId sup, ConceptPool& pool, AbsorbedTbox& tbox) {
  // A union on the left is split member by member; members that are unions
  // again are split in turn, in order, without recursion.
  std::vector<ConceptId> pending{sub};
  while (!pending.empty()) {
    ConceptId c = pending.back();
    pending.pop_back();
    if (const Or* u = std::get_if<Or>(&pool.get(c))) {
      for (auto it = u->members.rbegin(); it != u->members.rend(); ++it) pending.push_back(*it);
      continue;
    }
    ConceptId m = pool.mk_or({negation_nnf(pool, c), sup});
    std::span<const ConceptId> disjuncts = disjuncts_of(pool, m);
    bool absorbed = false;
    // The first negated name by ascending id takes the rule.
    for (std::size_t i = 0; i < disjuncts.size() && !absorbed; ++i) {
      const Not* neg = std::get_if<Not>(&pool.get(disjuncts[i]));
      if (neg == nullptr) continue;
      const Concept& operand = pool.get(neg->operand);
      if (const Atomic* a = std::get_if<Atomic>(&operand)) {
        ClassId cls = a->cls;
        tbox.unfold_pairs.push_back({cls, union_without(pool, disjuncts, i)});
        absorbed = true;
      } else if (const Nominal* o = std::get_if<Nominal>(&operand)) {
        IndividualId individual = o->individual;
        tbox.nominal_pairs.push_back({individual, union_without(pool, disjuncts, i)});
        absorbed = true;
      }
    }
    if (!absorbed) tbox.global_concepts.push_back(m);
  }
}

AbsorbedTbox absorb_tbox(const std::vector<Axiom>& axioms, ConceptPool& pool) {
  AbsorbedTbox tbox;
  auto disjoint_pairs = [&](const std::vector<ConceptId>& members) {
    for (std::size_t i = 0; i < members.size(); ++i) {
      for (std::size_t j = i + 1; j < members.size(); ++j) {
        absorb_gci(members[i], negation_nnf(pool, members[j]), pool, tbox);
      }
    }
  };
  for (const Axiom& axiom : axioms) {
    std::visit(Overload{
                   [&](const SubClassOf& a) { absorb_gci(a.sub, a.sup, pool, tbox); },
                   [&](const EquivalentClasses& a) {
                     for (std::size_t i = 0; i < a.members.size(); ++i) {
                       for (std::size_t j = 0; j < a.members.size(); ++j) {
                         if (i != j) absorb_gci(a.members[i], a.members[j], pool, tbox);
                       }
                     }
                   },
                   [&](const DisjointClasses& a) { disjoint_pairs(a.members); },
                   [&](const DisjointUnion& a) {
                     ConceptId whole = pool.intern(Atomic{a.cls});
                     ConceptId parts = pool.mk_or(a.parts);
                     absorb_gci(whole, parts, pool, tbox);
                     absorb_gci(parts, whole, pool, tbox);
                     disjoint_pairs(a.parts);
                   },
                   [&](const ObjectPropertyDomain& a) {
                     absorb_gci(pool.intern(Some{pool.intern(Top{}), a.role}), a.domain, pool, tbox);
                   },
                   [&](const ObjectPropertyRange& a) { tbox.global_concepts.push_back(pool.intern(All{a.range, a.role})); },
                   [](const auto&) {},
               },
               axiom);
  }
  absorb_domains_and_nominals(tbox, pool);
  return tbox;
}

void absorb_domains_and_nominals(AbsorbedTbox& tbox, ConceptPool& pool) {
  // Value restrictions under a class become guarded records.
  std::vector<UnfoldPair> kept;
  kept.reserve(tbox.unfold_pairs.size());
  for (const UnfoldPair& p : tbox.unfold_pairs) {
    if (const All* a = std::get_if<All>(&pool.get(p.consequence))) {
      tbox.all_records.push_back(RoleRule::guarded(a->role, p.cls, a->filler));
    } else {
      kept.push_back(p);
    }
  }
  tbox.unfold_pairs = std::move(kept);

  absorb_global_entries(tbox, [&](ConceptId g) {
    const All* a = std::get_if<All>(&pool.get(g));
    if (a == nullptr) return false;
    tbox.all_records.push_back(RoleRule::unguarded(a->role, a->filler));
    return true;
  });

  // ⊤ ⊑ ¬∃r.⊤ ⊔ C: every r-predecessor satisfies C, a rule over the inverse role.
  if (switch_flag(SwitchId::DomainAbsorption)) {
    absorb_global_entries(tbox, [&](ConceptId g) {
      std::span<const ConceptId> disjuncts = disjuncts_of(pool, g);
      for (std::size_t i = 0; i < disjuncts.size(); ++i) {
        if (std::optional<Role> r = no_successor_role(pool, disjuncts[i])) {
          tbox.all_records.push_back(RoleRule::unguarded(inverse_role(*r), union_without(pool, disjuncts, i)));
          return true;
        }
      }
      return false;
    });
  }

  // ⊤ ⊑ ¬∃r.{o} ⊔ C: o hands C to every node with an r-edge to it.
  if (switch_flag(SwitchId::NominalExistsAbsorption)) {
    absorb_global_entries(tbox, [&](ConceptId g) {
      std::span<const ConceptId> disjuncts = disjuncts_of(pool, g);
      for (std::size_t i = 0; i < disjuncts.size(); ++i) {
        if (std::optional<NominalEdge> e = no_edge_to_nominal(pool, disjuncts[i])) {
          ConceptId rest = union_without(pool, disjuncts, i);
          tbox.nominal_pairs.push_back({e->individual, pool.intern(All{rest, inverse_role(e->role)})});
          return true;
        }
      }
      return false;
    });
  }

  tbox.global_disjunctions.clear();
  for (ConceptId g : tbox.global_concepts) {
    if (std::holds_alternative<Or>(pool.get(g))) tbox.global_disjunctions.push_back(g);
  }
  std::sort(tbox.global_disjunctions.begin(), tbox.global_disjunctions.end());
  tbox.finish();
}

void AbsorbedTbox::finish() {
  unfold_index.clear();
  for (const UnfoldPair& p : unfold_pairs) unfold_index[p.cls].push_back(p.consequence);
  nominal_index.clear();
  for (const NominalPair& p : nominal_pairs) nominal_index[p.individual].push_back(p.consequence);
  global_all_records.clear();
  all_index.clear();
  for (const RoleRule& r : all_records) {
    if (r.kind == RoleRule::kGuarded) {
      all_index[r.key].push_back(r);
    } else {
      global_all_records.push_back(r);
    }
  }
}

}  // namespace kelmon
