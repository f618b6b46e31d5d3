// Walks a node's edges over a requested direction and role, visiting only
// the groups of its edge index that can match.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "core/role_hierarchy.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::hyper_internal {

// Calls f(far end) for each edge of the list that matches (dir, role), in
// the order the edges were added, until f returns false; false when it did.
// `backwards`: the list is an in-edge list walked from its target. f must
// not change the graph.
template <typename F>
bool for_each_role_edge(const HyperEngine& engine, std::span<const HyperEdge> edges, const EdgeRoleIndex& index,
                        std::uint32_t dir, std::uint32_t role, bool backwards, F&& f) {
  const EdgeRoleIndex::Group* only = nullptr;
  std::vector<std::uint32_t> several;  // positions of every matching group, when more than one matches
  auto take = [&](const EdgeRoleIndex::Group& g) {
    if (only == nullptr && several.empty()) {
      only = &g;
      return;
    }
    if (only != nullptr) several = only->positions;
    only = nullptr;
    several.insert(several.end(), g.positions.begin(), g.positions.end());
  };
  const std::vector<EdgeRoleIndex::Group>& groups = index.groups(edges);
  const RoleHierarchy* h = engine.role_hierarchy.get();
  // The direction an edge over `role` itself has in this list.
  const std::uint32_t along = backwards ? 1 - dir : dir;
  if (h == nullptr) {
    if (const EdgeRoleIndex::Group* g = index.group_of(edges, along, role)) take(*g);
  } else if (role < h->role_count() &&
             h->sub_roles(RoleId{role}).size() + h->reverse_sub_roles(RoleId{role}).size() < groups.size()) {
    // Fewer roles fall under `role` than the list has groups: look each one up.
    if (const EdgeRoleIndex::Group* g = index.group_of(edges, along, role)) take(*g);
    for (RoleId sub : h->sub_roles(RoleId{role}))
      if (sub.v != role)
        if (const EdgeRoleIndex::Group* g = index.group_of(edges, along, sub.v)) take(*g);
    // Walked against its direction, an edge matches through a symmetric role between the two.
    for (RoleId sub : h->reverse_sub_roles(RoleId{role}))
      if (const EdgeRoleIndex::Group* g = index.group_of(edges, 1 - along, sub.v)) take(*g);
  } else {
    for (const EdgeRoleIndex::Group& g : groups)
      if (engine.edge_matches(dir, role, HyperEdge{g.dir, g.role, 0}, backwards)) take(g);
  }
  auto visit = [&](std::uint32_t p) {
    const std::uint32_t far = edges[p].node;
    return f(engine.inverse_func_merge ? engine.find(far) : far);
  };
  if (only != nullptr) {
    for (std::uint32_t p : only->positions)
      if (!visit(p)) return false;
    return true;
  }
  std::sort(several.begin(), several.end());
  for (std::uint32_t p : several)
    if (!visit(p)) return false;
  return true;
}

// Out-edges of `node` first, then its in-edges walked backwards.
template <typename F>
bool for_each_role_neighbour(const HyperEngine& engine, std::uint32_t node, std::uint32_t dir, std::uint32_t role,
                             F&& f) {
  const HyperNode& n = engine.nodes[node];
  return for_each_role_edge(engine, n.out_edges, n.out_index, dir, role, false, f) &&
         for_each_role_edge(engine, n.in_edges, n.in_index, dir, role, true, f);
}

// The far ends that for_each_role_neighbour visits, appended to `out`.
inline void append_role_neighbours(const HyperEngine& engine, std::uint32_t node, std::uint32_t dir,
                                   std::uint32_t role, std::vector<std::uint32_t>& out) {
  for_each_role_neighbour(engine, node, dir, role, [&](std::uint32_t far) {
    out.push_back(far);
    return true;
  });
}

}  // namespace kelmon::hyper_internal
