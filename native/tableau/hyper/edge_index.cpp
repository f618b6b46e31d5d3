#include "tableau/hyper/edge_index.h"

#include <algorithm>

#include "common/invariant.h"

namespace kelmon {

namespace {

bool before(const EdgeRoleIndex::Group& g, const HyperEdge& e) {
  return g.dir != e.dir ? g.dir < e.dir : g.role < e.role;
}

}  // namespace

const std::vector<EdgeRoleIndex::Group>& EdgeRoleIndex::groups(std::span<const HyperEdge> edges) const {
  if (edges.size() < seen_) {
    groups_.clear();
    seen_ = 0;
  }
  invariant(edges.size() < (std::size_t{1} << 32), "hyper: edge list fits u32 positions");
  for (; seen_ < edges.size(); ++seen_) {
    const HyperEdge& e = edges[seen_];
    auto it = std::lower_bound(groups_.begin(), groups_.end(), e, before);
    if (it == groups_.end() || it->dir != e.dir || it->role != e.role) it = groups_.insert(it, Group{e.dir, e.role, {}});
    it->positions.push_back(static_cast<std::uint32_t>(seen_));
  }
  return groups_;
}

const EdgeRoleIndex::Group* EdgeRoleIndex::group_of(std::span<const HyperEdge> edges, std::uint32_t dir,
                                                     std::uint32_t role) const {
  const std::vector<Group>& all = groups(edges);
  const auto it = std::lower_bound(all.begin(), all.end(), HyperEdge{dir, role, 0}, before);
  return it != all.end() && it->dir == dir && it->role == role ? &*it : nullptr;
}

std::int64_t EdgeRoleIndex::position_of(std::span<const HyperEdge> edges, const HyperEdge& edge) const {
  if (const Group* g = group_of(edges, edge.dir, edge.role))
    for (std::uint32_t p : g->positions)
      if (edges[p].node == edge.node) return p;
  return -1;
}

}  // namespace kelmon
