#include "core/role_hierarchy.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "common/overload.h"

namespace kelmon {

namespace {

constexpr const char* kRoleOutOfRange = "RoleHierarchy: role id out of range";

}  // namespace

void RoleEdgeList::add(RoleId sup) {
  for (std::size_t i = 0; i < size(); ++i)
    if ((*this)[i] == sup) return;
  if (inline_count_ < kInline) inline_[inline_count_++] = sup;
  else spill_.push_back(sup);
}

bool RoleHierarchy::has_reversed_sub_role(RoleId role) const {
  invariant(role.v < reversed_below.size(), kRoleOutOfRange);
  return reversed_below[role.v] != 0;
}

bool RoleHierarchy::is_symmetric(RoleId role) const {
  invariant(role.v < symmetric.size(), kRoleOutOfRange);
  return (symmetric[role.v] & 1) != 0;
}

void RoleHierarchyBuilder::add_edge(RoleId sub, RoleId sup) {
  invariant(sub.v < edges.size(), kRoleOutOfRange);
  edges[sub.v].add(sup);
}

void RoleHierarchyBuilder::mark_symmetric(RoleId role) {
  invariant(role.v < symmetric.size(), kRoleOutOfRange);
  symmetric[role.v] = 1;
}

RoleHierarchy RoleHierarchyBuilder::build() && {
  const std::size_t n = edges.size();
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "RoleHierarchyBuilder: too many roles");
  RoleHierarchy h;
  std::vector<std::uint8_t> visited(n, 0);
  std::vector<RoleId> queue;
  std::vector<RoleId> reached;
  std::vector<std::vector<RoleId>> subs(n);
  for (std::size_t i = 0; i < n; ++i) {
    queue.assign(1, RoleId{static_cast<std::uint32_t>(i)});
    reached.clear();
    for (std::size_t head = 0; head < queue.size(); ++head) {
      RoleId b = queue[head];
      invariant(b.v < n, kRoleOutOfRange);
      if (visited[b.v]) continue;
      visited[b.v] = 1;
      reached.push_back(b);
      const RoleEdgeList& out = edges[b.v];
      for (std::size_t k = 0; k < out.size(); ++k) queue.push_back(out[k]);
    }
    for (RoleId b : reached) visited[b.v] = 0;
    std::sort(reached.begin(), reached.end());
    for (RoleId b : reached) subs[b.v].push_back(RoleId{static_cast<std::uint32_t>(i)});
    h.supers.push_row(reached);
  }
  h.supers.shrink_to_fit();
  for (const auto& row : subs) h.subs.push_row(row);
  h.subs.shrink_to_fit();
  h.reversed_below.assign(n, 0);
  std::vector<RoleId> reversed;
  for (std::size_t i = 0; i < n; ++i) {
    reversed.clear();
    for (RoleId t : h.supers.at(i))
      if (symmetric[t.v]) reversed.insert(reversed.end(), h.supers[t].begin(), h.supers[t].end());
    std::sort(reversed.begin(), reversed.end());
    reversed.erase(std::unique(reversed.begin(), reversed.end()), reversed.end());
    for (RoleId r : reversed) h.reversed_below[r.v] = 1;
    h.reverse_supers.push_row(reversed);
  }
  h.reverse_supers.shrink_to_fit();
  symmetric.shrink_to_fit();
  h.symmetric = std::move(symmetric);
  return h;
}

InverseRoleMap collect_inverse_role_map(const std::vector<Axiom>& axioms) {
  InverseRoleMap map;
  for (const Axiom& axiom : axioms) {
    const InverseObjectProperties* p = std::get_if<InverseObjectProperties>(&axiom);
    if (p == nullptr || !p->first.is_named() || !p->second.is_named() || p->first.id == p->second.id) continue;
    if (map.contains(p->first.id.v) || map.contains(p->second.id.v)) continue;
    map.emplace(p->second.id.v, inverse_role(p->first));
  }
  return map;
}

Role canonical_role_of(const InverseRoleMap& inverses, Role role) {
  auto it = inverses.find(role.id.v);
  if (it == inverses.end()) return role;
  return role.is_named() ? it->second : inverse_role(it->second);
}

RoleHierarchy build_role_hierarchy(const InternalOntology& ontology) {
  const std::size_t role_count = ontology.vocabulary.roles.size();
  invariant(role_count <= std::numeric_limits<std::uint32_t>::max(), "vocabulary role count fits in u32");
  RoleHierarchyBuilder builder(static_cast<std::uint32_t>(role_count));
  const InverseRoleMap inverses = collect_inverse_role_map(ontology.axioms);
  for (const Axiom& axiom : ontology.axioms) {
    std::visit(Overload{
                   [&](const SubObjectPropertyOf& a) {
                     const Single* single = std::get_if<Single>(&a.sub);
                     if (single == nullptr) return;  // chains give no edge
                     Role sub = single->role;
                     Role s = canonical_role_of(inverses, sub);
                     Role p = canonical_role_of(inverses, a.sup);
                     if (s.inverse == p.inverse) builder.add_edge(s.id, p.id);
                     // Keep the written edge too when folding moved only the sub-role.
                     if (sub.inverse == a.sup.inverse && s != sub) builder.add_edge(sub.id, a.sup.id);
                   },
                   [&](const EquivalentObjectProperties& a) {
                     std::vector<Role> canonical;
                     canonical.reserve(a.roles.size());
                     for (Role r : a.roles) canonical.push_back(canonical_role_of(inverses, r));
                     for (Role x : canonical)
                       for (Role y : canonical)
                         if (x.inverse == y.inverse && x != y) builder.add_edge(x.id, y.id);
                   },
                   [&](const InverseObjectProperties& a) {
                     if (a.first == a.second) builder.mark_symmetric(a.first.id);
                   },
                   [&](const SymmetricRole& a) { builder.mark_symmetric(a.role.id); },
                   [](const auto&) {},
               },
               axiom);
  }
  return std::move(builder).build();
}

}  // namespace kelmon
