#include "reasoner/kernel/internal/abox_rules.h"

#include <algorithm>
#include <variant>

#include "common/invariant.h"
#include "common/overload.h"
#include "core/axiom.h"
#include "core/concept_pool.h"
#include "reasoner/kernel/union_find.h"

namespace kelmon::reasoner::abox {
namespace {

constexpr const char* kIdOutOfRange = "ABox saturation: id out of range";

const Atomic* as_atomic(const ConceptPool& pool, ConceptId id) { return std::get_if<Atomic>(&pool.get(id)); }

// Walks a concept and the members of every And below it, depth-first, first member first.
template <class Visit>
void walk_and_members(const ConceptPool& pool, ConceptId root, Visit&& visit) {
  std::vector<ConceptId> stack{root};
  while (!stack.empty()) {
    const ConceptId id = stack.back();
    stack.pop_back();
    const Concept& c = pool.get(id);
    if (const auto* conj = std::get_if<And>(&c)) {
      stack.insert(stack.end(), conj->members.rbegin(), conj->members.rend());
    } else {
      visit(c);
    }
  }
}

class Compiler {
 public:
  explicit Compiler(const InternalOntology& ir) : ir_(ir), pool_(ir.concepts) {
    const std::size_t classes = ir.vocabulary.classes.size();
    const std::size_t roles = ir.vocabulary.roles.size();
    rules_.told_supers.resize(classes);
    rules_.existential_rules.resize(classes);
    rules_.nominal_rules.resize(classes);
    rules_.super_roles.resize(2 * roles);
    rules_.domains.resize(2 * roles);
    rules_.ranges.resize(2 * roles);
    rules_.role_equivalents.resize(roles);
  }

  AboxRules run() && {
    for (const Axiom& axiom : ir_.axioms) std::visit([&](const auto& a) { add(a); }, axiom);
    std::sort(rules_.functional.begin(), rules_.functional.end());
    rules_.functional.erase(std::unique(rules_.functional.begin(), rules_.functional.end()), rules_.functional.end());
    return std::move(rules_);
  }

 private:
  ClassId cls(ClassId c) const {
    invariant(c.v < rules_.told_supers.size(), kIdOutOfRange);
    return c;
  }
  std::uint32_t key(Role r) const {
    invariant(r.id.v < rules_.role_equivalents.size(), kIdOutOfRange);
    return role_key(r);
  }

  // Atomic members of an And (direct members only).
  void append_atomic_members(const Concept& c, std::vector<ClassId>& out) {
    if (const auto* conj = std::get_if<And>(&c)) {
      for (ConceptId m : conj->members)
        if (const Atomic* a = as_atomic(pool_, m)) out.push_back(cls(a->cls));
    }
  }
  void append_existentials(ClassId a, ConceptId sup) {
    for (auto [r, b] : atomic_existentials(pool_, sup)) rules_.existential_rules[a.v].emplace_back(r, b);
    for (auto [r, o] : nominal_existentials(pool_, sup)) rules_.nominal_rules[a.v].emplace_back(r, o);
  }
  void append_atomic_or_members(ConceptId id, std::vector<ClassId>& out) {
    const Concept& c = pool_.get(id);
    if (const auto* a = std::get_if<Atomic>(&c)) out.push_back(cls(a->cls));
    else append_atomic_members(c, out);
  }

  void add(const SubClassOf& a) {
    const Atomic* sub = as_atomic(pool_, a.sub);
    if (sub == nullptr) return;
    const ClassId A = cls(sub->cls);
    append_atomic_or_members(a.sup, rules_.told_supers[A.v]);
    append_existentials(A, a.sup);
  }
  void add(const EquivalentClasses& a) {
    std::vector<ClassId> atoms;
    for (ConceptId m : a.members)
      if (const Atomic* at = as_atomic(pool_, m)) atoms.push_back(cls(at->cls));
    for (std::size_t i = 0; i < atoms.size(); ++i)
      for (std::size_t j = 0; j < atoms.size(); ++j)
        if (i != j) rules_.told_supers[atoms[i].v].push_back(atoms[j]);
    for (std::size_t p = 0; p < a.members.size(); ++p) {
      const Atomic* at = as_atomic(pool_, a.members[p]);
      if (at == nullptr) continue;
      const ClassId A = at->cls;
      for (std::size_t q = 0; q < a.members.size(); ++q) {
        if (q == p) continue;
        append_atomic_members(pool_.get(a.members[q]), rules_.told_supers[A.v]);
        append_existentials(A, a.members[q]);
      }
    }
  }
  void add(const DisjointClasses& a) {
    std::vector<ClassId> atoms;
    for (ConceptId m : a.members)
      if (const Atomic* at = as_atomic(pool_, m)) atoms.push_back(cls(at->cls));
    for (std::size_t i = 0; i < atoms.size(); ++i)
      for (std::size_t j = i + 1; j < atoms.size(); ++j) rules_.disjoint_pairs.emplace_back(atoms[i], atoms[j]);
  }
  void add(const SubObjectPropertyOf& a) {
    key(a.sup);
    std::visit(Overload{[&](const Single& s) { add_super_role(s.role, a.sup); },
                        [&](const Chain& c) {
                          for (Role r : c.roles) key(r);
                          if (c.roles.size() == 1) add_super_role(c.roles[0], a.sup);
                          if (c.roles.size() == 2) rules_.chain2_rules.push_back({c.roles[0], c.roles[1], a.sup});
                          if (c.roles.size() == 3)
                            rules_.chain3_rules.push_back({c.roles[0], c.roles[1], c.roles[2], a.sup});
                        }},
               a.sub);
  }
  void add_super_role(Role sub, Role sup) {
    auto& supers = rules_.super_roles[key(sub)];
    if (std::find(supers.begin(), supers.end(), sup) == supers.end()) supers.push_back(sup);
  }
  void add(const TransitiveRole& a) {
    key(a.role);
    rules_.chain2_rules.push_back({a.role, a.role, a.role});
  }
  void add(const ObjectPropertyDomain& a) { append_atomic_or_members(a.domain, rules_.domains[key(a.role)]); }
  void add(const ObjectPropertyRange& a) { append_atomic_or_members(a.range, rules_.ranges[key(a.role)]); }
  void add(const FunctionalRole& a) {
    key(a.role);
    rules_.functional.push_back(a.role);
  }
  void add(const InverseFunctionalRole& a) {
    key(a.role);
    rules_.functional.push_back(inverse_role(a.role));
  }
  void add(const InverseObjectProperties& a) {
    key(a.first);
    key(a.second);
    // P ≡ Q⁻ when both carry the same flag, P ≡ Q when the flags differ.
    const std::uint32_t reversed = a.first.inverse ^ (a.second.inverse ^ 1u);
    rules_.role_equivalents[a.first.id.v].push_back(Role{reversed, a.second.id});
    rules_.role_equivalents[a.second.id.v].push_back(Role{reversed, a.first.id});
  }
  void add(const SymmetricRole& a) {
    key(a.role);
    rules_.role_equivalents[a.role.id.v].push_back(Role::inverse_of(a.role.id));
  }
  template <class Other>
  void add(const Other&) {}

  const InternalOntology& ir_;
  const ConceptPool& pool_;
  AboxRules rules_;
};

}  // namespace

void push_atomic_conjuncts(const ConceptPool& pool, IndividualId individual, ConceptId concept_id,
                           std::vector<std::pair<IndividualId, ClassId>>& out) {
  walk_and_members(pool, concept_id, [&](const Concept& c) {
    if (const auto* a = std::get_if<Atomic>(&c)) out.emplace_back(individual, a->cls);
  });
}

std::vector<std::pair<RoleId, ClassId>> atomic_existentials(const ConceptPool& pool, ConceptId concept_id) {
  std::vector<std::pair<RoleId, ClassId>> out;
  walk_and_members(pool, concept_id, [&](const Concept& c) {
    const auto* some = std::get_if<Some>(&c);
    if (some == nullptr || !some->role.is_named()) return;
    if (const Atomic* filler = as_atomic(pool, some->filler)) out.emplace_back(some->role.id, filler->cls);
  });
  return out;
}

std::vector<std::pair<Role, IndividualId>> nominal_existentials(const ConceptPool& pool, ConceptId concept_id) {
  std::vector<std::pair<Role, IndividualId>> out;
  walk_and_members(pool, concept_id, [&](const Concept& c) {
    const auto* some = std::get_if<Some>(&c);
    if (some == nullptr) return;
    if (const auto* o = std::get_if<Nominal>(&pool.get(some->filler))) out.emplace_back(some->role, o->individual);
  });
  return out;
}

AboxRules compile_abox_rules(const InternalOntology& ir) { return Compiler(ir).run(); }

SameGroups same_individual_groups(const InternalOntology& ir) {
  const std::size_t n = ir.vocabulary.individuals.size();
  SameGroups groups;
  groups.group_of.assign(n, SameGroups::kNone);
  std::vector<IndividualId> named;  // every individual of some SameIndividual axiom, once
  std::vector<std::uint8_t> seen(n, 0);
  UnionFind forest(n);
  for (const Axiom& axiom : ir.axioms) {
    const auto* same = std::get_if<SameIndividual>(&axiom);
    if (same == nullptr || same->individuals.size() < 2) continue;
    for (std::size_t k = 0; k < same->individuals.size(); ++k) {
      const IndividualId i = same->individuals[k];
      invariant(i.v < n, kIdOutOfRange);
      if (!seen[i.v]) {
        seen[i.v] = 1;
        named.push_back(i);
      }
      if (k > 0) forest.unite(same->individuals[k - 1].v, i.v);
    }
  }
  for (IndividualId i : named) {
    const std::uint32_t root = forest.find(i.v);
    std::uint32_t& g = groups.group_of[root];
    if (g == SameGroups::kNone) {
      g = static_cast<std::uint32_t>(groups.members.size());
      groups.members.emplace_back();
    }
    groups.members[g].push_back(i);
  }
  // group_of was keyed by root while collecting; every member now gets its group.
  for (IndividualId i : named) groups.group_of[i.v] = groups.group_of[forest.find(i.v)];
  return groups;
}

}  // namespace kelmon::reasoner::abox
