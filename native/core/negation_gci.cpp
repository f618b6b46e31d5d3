#include "core/negation_gci.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/seeded_hash.h"
#include "common/switches.h"

namespace kelmon {

std::uint64_t negation_to_bottom_gcis(InternalOntology& ontology) {
  if (!switch_flag(SwitchId::NegToBotGci)) return 0;
  ConceptPool& pool = ontology.concepts;
  std::vector<Axiom>& axioms = ontology.axioms;
  const std::size_t n = axioms.size();
  std::vector<Axiom> appended;
  std::uint64_t count = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const SubClassOf* a = std::get_if<SubClassOf>(&axioms[i]);
    if (a == nullptr) continue;
    const ConceptId c = a->sub;
    std::vector<ConceptId> negated;
    std::vector<ConceptId> rest;
    const Concept& d = pool.get(a->sup);
    if (const Not* x = std::get_if<Not>(&d)) {
      negated.push_back(x->operand);
    } else if (const And* conj = std::get_if<And>(&d)) {
      for (ConceptId m : conj->members) {
        if (const Not* x = std::get_if<Not>(&pool.get(m))) negated.push_back(x->operand);
        else rest.push_back(m);
      }
    }
    if (negated.empty()) continue;
    ConceptId bottom = pool.intern(Bottom{});
    axioms[i] = SubClassOf{pool.mk_and({c, negated.front()}), bottom};
    for (std::size_t j = 1; j < negated.size(); ++j) appended.push_back(SubClassOf{pool.mk_and({c, negated[j]}), bottom});
    for (ConceptId r : rest) appended.push_back(SubClassOf{c, r});
    ++count;
  }
  for (Axiom& a : appended) axioms.push_back(std::move(a));
  return count;
}

namespace {

// Whether the inverse of inverse-functional r counts as functional: r is used
// in an assertion, an existential over r reaches a nominal, or the inverse of r
// is needed by two successors (an at-least-two, or two separate restrictions).
bool inverse_functional_qualifies(Role r, std::span<const Axiom> axioms, const ConceptPool& pool) {
  for (const Axiom& axiom : axioms)
    if (const ObjectPropertyAssertion* a = std::get_if<ObjectPropertyAssertion>(&axiom); a && a->role.id == r.id)
      return true;
  bool one_seen = false;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const Concept& c = pool.get(ConceptId{static_cast<std::uint32_t>(i)});
    Role s;
    ConceptId filler;
    std::uint32_t at_least;
    if (const Some* x = std::get_if<Some>(&c)) {
      s = x->role, filler = x->filler, at_least = 1;
    } else if (const Min* x = std::get_if<Min>(&c); x && x->n >= 1) {
      s = x->role, filler = x->filler, at_least = x->n;
    } else {
      continue;
    }
    if (s.id != r.id) continue;
    if (s.inverse == r.inverse) {
      if (std::holds_alternative<Nominal>(pool.get(filler))) return true;
    } else {
      if (at_least >= 2) return true;
      if (one_seen) return true;
      one_seen = true;
    }
  }
  return false;
}

}  // namespace

std::optional<Role> FunctionalRoles::next() {
  while (position_ < axioms_.size()) {
    const Axiom& axiom = axioms_[position_++];
    if (const FunctionalRole* f = std::get_if<FunctionalRole>(&axiom)) return f->role;
    if (const InverseFunctionalRole* f = std::get_if<InverseFunctionalRole>(&axiom)) {
      if (!switch_flag(SwitchId::InverseFuncMax)) continue;
      if (inverse_functional_qualifies(f->role, axioms_, ontology_.concepts)) return inverse_role(f->role);
    }
  }
  return std::nullopt;
}

void add_functional_role_gcis(InternalOntology& ontology) {
  std::vector<Role> roles;
  FunctionalRoles scan = functional_roles(ontology.axioms, ontology);
  while (auto r = scan.next()) roles.push_back(*r);
  if (roles.size() >= 2) {
    // By id first, then named before inverse.
    std::sort(roles.begin(), roles.end(),
              [](Role a, Role b) { return std::tie(a.id, a.inverse) < std::tie(b.id, b.inverse); });
    roles.erase(std::unique(roles.begin(), roles.end()), roles.end());
  }
  ConceptPool& pool = ontology.concepts;
  ConceptId top = pool.intern(Top{});
  for (Role r : roles) {
    ConceptId some = pool.intern(Some{top, r});
    ConceptId at_most = pool.intern(Max{1, top, r});
    ontology.axioms.push_back(SubClassOf{some, at_most});
  }
}

namespace {

struct Triple {
  std::uint32_t role;
  std::uint32_t subject;
  std::uint32_t object;
  friend bool operator==(const Triple&, const Triple&) = default;
};

struct TripleHash {
  std::size_t operator()(const Triple& t) const {
    return hash_finish(hash_step(hash_step(hash_step(0, t.role), t.subject), t.object));
  }
};

}  // namespace

void inverse_pair_functional_pass(InternalOntology& ontology) {
  if (!switch_flag(SwitchId::InversePairFunc)) return;
  std::vector<Axiom>& axioms = ontology.axioms;

  tsl::robin_set<std::uint32_t> functional;
  tsl::robin_set<std::uint32_t> inverse_functional;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  for (const Axiom& axiom : axioms) {
    if (const FunctionalRole* f = std::get_if<FunctionalRole>(&axiom); f && f->role.is_named())
      functional.insert(f->role.id.v);
    else if (const InverseFunctionalRole* f = std::get_if<InverseFunctionalRole>(&axiom); f && f->role.is_named())
      inverse_functional.insert(f->role.id.v);
    else if (const InverseObjectProperties* p = std::get_if<InverseObjectProperties>(&axiom);
             p && p->first.is_named() && p->second.is_named())
      pairs.emplace_back(p->first.id.v, p->second.id.v);
  }

  if (!pairs.empty()) {
    std::vector<Axiom> queued;
    bool changed = true;
    while (changed) {
      changed = false;
      for (auto [p, q] : pairs) {
        for (auto [a, b] : {std::pair{p, q}, std::pair{q, p}}) {
          if (functional.contains(a) && !inverse_functional.contains(b)) {
            inverse_functional.insert(b);
            queued.push_back(InverseFunctionalRole{Role::named(RoleId{b})});
            changed = true;
          }
          if (inverse_functional.contains(a) && !functional.contains(b)) {
            functional.insert(b);
            queued.push_back(FunctionalRole{Role::named(RoleId{b})});
            changed = true;
          }
        }
      }
    }
    for (Axiom& a : queued) axioms.push_back(std::move(a));
  }

  tsl::robin_map<std::uint32_t, std::vector<std::uint32_t>> partners;
  for (auto [p, q] : pairs) {
    partners[p].push_back(q);
    partners[q].push_back(p);
  }
  tsl::robin_set<Triple, TripleHash> existing;
  for (const Axiom& axiom : axioms)
    if (const ObjectPropertyAssertion* a = std::get_if<ObjectPropertyAssertion>(&axiom); a && a->role.is_named())
      existing.insert(Triple{a->role.id.v, a->subject.v, a->object.v});

  std::vector<Axiom> mirrored;
  const std::size_t n = axioms.size();
  for (std::size_t i = 0; i < n; ++i) {
    const ObjectPropertyAssertion* a = std::get_if<ObjectPropertyAssertion>(&axioms[i]);
    if (a == nullptr || !a->role.is_named()) continue;
    auto it = partners.find(a->role.id.v);
    if (it == partners.end()) continue;
    for (std::uint32_t s : it->second) {
      if (!functional.contains(s)) continue;
      if (!existing.insert(Triple{s, a->object.v, a->subject.v}).second) continue;
      mirrored.push_back(ObjectPropertyAssertion{Role::named(RoleId{s}), a->object, a->subject});
    }
  }
  for (Axiom& a : mirrored) axioms.push_back(std::move(a));
}

}  // namespace kelmon
