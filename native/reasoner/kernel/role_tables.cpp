#include "reasoner/kernel/role_tables.h"

#include <algorithm>
#include <cstdio>

#include "common/overload.h"
#include "common/switches.h"

namespace kelmon::reasoner {

void add_role_characteristic_axioms(InternalOntology& ir) {
  ConceptPool& pool = ir.concepts;
  const ConceptId top = pool.intern(Top{});
  std::vector<Axiom> added;
  for (const Axiom& axiom : ir.axioms) {
    std::visit(Overload{
                   [&](const SymmetricRole& a) {
                     Role r = Role::named(a.role.id);
                     added.push_back(InverseObjectProperties{r, r});
                   },
                   [&](const ReflexiveRole& a) { added.push_back(SubClassOf{top, pool.intern(Self{a.role})}); },
                   [&](const IrreflexiveRole& a) {
                     added.push_back(SubClassOf{top, pool.intern(Not{pool.intern(Self{a.role})})});
                   },
                   [&](const FunctionalRole& a) {
                     if (a.role.is_named()) added.push_back(SubClassOf{top, pool.intern(Max{1, top, a.role})});
                   },
                   [&](const InverseFunctionalRole& a) {
                     if (a.role.is_named())
                       added.push_back(SubClassOf{top, pool.intern(Max{1, top, inverse_role(a.role)})});
                   },
                   [](const auto&) {},
               },
               axiom);
  }
  ir.axioms.insert(ir.axioms.end(), std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
}

std::vector<DisjointRolePair> collect_disjoint_role_pairs(const std::vector<Axiom>& axioms) {
  std::vector<DisjointRolePair> out;
  for (const Axiom& axiom : axioms) {
    const auto* d = std::get_if<DisjointObjectProperties>(&axiom);
    if (d == nullptr) continue;
    for (std::size_t i = 0; i < d->roles.size(); ++i)
      for (std::size_t j = i + 1; j < d->roles.size(); ++j) {
        Role a = d->roles[i], b = d->roles[j];
        if (a == b) continue;
        if (!a.is_named()) a = inverse_role(a), b = inverse_role(b);
        out.emplace_back(a, b);
      }
  }
  return out;
}

RoleTables collect_role_tables(const std::vector<Axiom>& axioms) {
  RoleTables t;
  for (const Axiom& axiom : axioms) {
    std::visit(Overload{
                   [&](const InverseObjectProperties& a) {
                     if (a.first.inverse == a.second.inverse) t.inverse_pairs.emplace_back(a.first.id, a.second.id);
                   },
                   [&](const AsymmetricRole& a) { t.asymmetric_roles.push_back(a.role.id); },
                   [&](const SubObjectPropertyOf& a) {
                     const auto* chain = std::get_if<Chain>(&a.sub);
                     if (chain != nullptr && chain->roles.size() == 2)
                       t.role_chains.push_back({chain->roles[0], chain->roles[1], a.sup});
                   },
                   [&](const TransitiveRole& a) { t.role_chains.push_back({a.role, a.role, a.role}); },
                   [](const auto&) {},
               },
               axiom);
  }
  t.disjoint_role_pairs = collect_disjoint_role_pairs(axioms);
  return t;
}

std::uint64_t role_hierarchy_max_closure() { return switch_number(SwitchId::ClassifyRoleHierarchyMaxClosure); }

bool role_hierarchy_affordable(const RoleHierarchy& hierarchy) {
  const std::uint64_t cap = role_hierarchy_max_closure();
  const std::uint64_t m = std::max(hierarchy.supers.max_row_length(), hierarchy.subs.max_row_length());
  const bool affordable = m <= cap;
  if (switch_flag(SwitchId::RoleClosureProbe))
    std::fprintf(stderr, "ROLECLOSURE\tnum_roles=%zu\tmax_closure=%llu\tcap=%llu\taffordable=%s\n",
                 hierarchy.role_count(), static_cast<unsigned long long>(m), static_cast<unsigned long long>(cap),
                 affordable ? "true" : "false");
  return affordable;
}

}  // namespace kelmon::reasoner
