#include "tableau/hyper/edge_index.h"

#include "common/invariant.h"

namespace kelmon {

const std::vector<EdgeRoleIndex::Group>& EdgeRoleIndex::groups(std::span<const HyperEdge> edges) const {
  if (edges.size() < seen_) {
    groups_.clear();
    seen_ = 0;
  }
  invariant(edges.size() < (std::size_t{1} << 32), "hyper: edge list fits u32 positions");
  for (; seen_ < edges.size(); ++seen_) {
    const HyperEdge& e = edges[seen_];
    Group* group = nullptr;
    for (Group& g : groups_)
      if (g.dir == e.dir && g.role == e.role) {
        group = &g;
        break;
      }
    if (group == nullptr) group = &groups_.emplace_back(Group{e.dir, e.role, {}});
    group->positions.push_back(static_cast<std::uint32_t>(seen_));
  }
  return groups_;
}

const EdgeRoleIndex::Group* EdgeRoleIndex::group_of(std::span<const HyperEdge> edges, std::uint32_t dir,
                                                     std::uint32_t role) const {
  for (const Group& g : groups(edges))
    if (g.dir == dir && g.role == role) return &g;
  return nullptr;
}

std::int64_t EdgeRoleIndex::position_of(std::span<const HyperEdge> edges, const HyperEdge& edge) const {
  if (const Group* g = group_of(edges, edge.dir, edge.role))
    for (std::uint32_t p : g->positions)
      if (edges[p].node == edge.node) return p;
  return -1;
}

}  // namespace kelmon
