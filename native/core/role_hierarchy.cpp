#include "core/role_hierarchy.h"

#include <algorithm>
#include <array>
#include <limits>

#include "common/invariant.h"
#include "common/overload.h"

namespace kelmon {

namespace {

constexpr const char* kRoleOutOfRange = "RoleHierarchy: role id out of range";

// Row r of the result lists every row that holds r, ascending.
RowTable<RoleId> transposed(const RowTable<RoleId>& rows, std::size_t n) {
  std::vector<std::vector<RoleId>> out(n);
  for (std::size_t i = 0; i < n; ++i)
    for (RoleId r : rows.at(i)) out[r.v].push_back(RoleId{static_cast<std::uint32_t>(i)});
  RowTable<RoleId> t(kRoleOutOfRange);
  for (const auto& row : out) t.push_row(row);
  t.shrink_to_fit();
  return t;
}

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

void RoleHierarchy::index_densely() {
  // 4096 roles make two rows tables of 2 MiB each; beyond that the binary
  // searches stay.
  constexpr std::size_t kMaxDense = 4096;
  const std::size_t n = supers.size();
  dense_n = 0;
  dense_supers.clear();
  dense_reverse_supers.clear();
  if (n == 0 || n > kMaxDense || reverse_supers.size() != n) return;
  const std::size_t words = (n + 63) / 64;
  auto fill = [&](const RowTable<RoleId>& rows, std::vector<std::uint64_t>& bits) {
    bits.assign(n * words, 0);
    for (std::size_t i = 0; i < n; ++i)
      for (RoleId r : rows.at(i))
        if (r.v < n) bits[i * words + r.v / 64] |= std::uint64_t{1} << (r.v % 64);
  };
  fill(supers, dense_supers);
  fill(reverse_supers, dense_reverse_supers);
  dense_n = static_cast<std::uint32_t>(n);
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
    h.supers.push_row(reached);
  }
  h.supers.shrink_to_fit();
  h.subs = transposed(h.supers, n);
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
  h.reverse_subs = transposed(h.reverse_supers, n);
  symmetric.shrink_to_fit();
  h.symmetric = std::move(symmetric);
  h.index_densely();
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

RoleHierarchy build_directed_role_hierarchy(const InternalOntology& ontology) {
  const std::size_t n = ontology.vocabulary.roles.size();
  invariant(n < std::numeric_limits<std::uint32_t>::max() / 2, "vocabulary role count fits in u32");
  // Node 2·id is the role, 2·id + 1 its inverse; every inclusion also holds between the inverses.
  std::vector<std::vector<std::uint32_t>> out(2 * n);
  auto node = [&](Role r) {
    invariant(r.id.v < n, kRoleOutOfRange);
    return 2 * r.id.v + (r.inverse != 0 ? 1u : 0u);
  };
  auto include = [&](Role sub, Role sup) {
    out[node(sub)].push_back(node(sup));
    out[node(inverse_role(sub))].push_back(node(inverse_role(sup)));
  };
  for (const Axiom& axiom : ontology.axioms) {
    std::visit(Overload{
                   [&](const SubObjectPropertyOf& a) {
                     if (const Single* single = std::get_if<Single>(&a.sub)) include(single->role, a.sup);
                   },
                   [&](const EquivalentObjectProperties& a) {
                     for (Role x : a.roles)
                       for (Role y : a.roles)
                         if (x != y) include(x, y);
                   },
                   [&](const InverseObjectProperties& a) {
                     include(a.first, inverse_role(a.second));
                     include(inverse_role(a.second), a.first);
                   },
                   [&](const SymmetricRole& a) { include(a.role, inverse_role(a.role)); },
                   [](const auto&) {},
               },
               axiom);
  }
  RoleHierarchy h;
  h.symmetric.assign(n, 0);
  h.reversed_below.assign(n, 0);
  std::vector<std::uint8_t> visited(2 * n, 0);
  std::vector<std::uint32_t> queue;
  std::array<std::vector<RoleId>, 2> rows;  // named and inverse start
  for (std::uint32_t i = 0; i < n; ++i) {
    for (std::uint32_t flip = 0; flip < 2; ++flip) {
      queue.assign(1, 2 * i + flip);
      visited[2 * i + flip] = 1;
      for (std::size_t head = 0; head < queue.size(); ++head)
        for (std::uint32_t next : out[queue[head]])
          if (!visited[next]) visited[next] = 1, queue.push_back(next);
      std::vector<RoleId>& row = rows[flip];
      row.clear();
      for (std::uint32_t v : queue) {
        visited[v] = 0;
        if (v % 2 == 0) row.push_back(RoleId{v / 2});
      }
      std::sort(row.begin(), row.end());
    }
    h.supers.push_row(rows[0]);
    h.reverse_supers.push_row(rows[1]);
    for (RoleId r : rows[1]) h.reversed_below[r.v] = 1;
    h.symmetric[i] = std::binary_search(rows[1].begin(), rows[1].end(), RoleId{i}) ? 1 : 0;
  }
  h.supers.shrink_to_fit();
  h.reverse_supers.shrink_to_fit();
  h.subs = transposed(h.supers, n);
  h.reverse_subs = transposed(h.reverse_supers, n);
  h.index_densely();
  return h;
}

}  // namespace kelmon
