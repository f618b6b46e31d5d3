// A node's edges grouped by direction and role, so that a walk for one role
// visits the edges that can match it and skips the rest: transitive roles
// leave long edge lists at a node, most of them over other roles.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace kelmon {

// In a node's out_edges `node` is the target, in its in_edges the source.
// dir 1 on an out-edge means the target is a role-predecessor of the source.
struct HyperEdge {
  std::uint32_t dir = 0;
  std::uint32_t role = 0;
  std::uint32_t node = 0;
  friend bool operator==(const HyperEdge&, const HyperEdge&) = default;
};

// A cache of the edge list it is asked about: positions in that list by
// (dir, role), each group in the order the edges were added, the groups
// ordered by (dir, role). Edge lists only
// grow between copies of a node, so the cache catches up with what was
// appended since it last looked (a list shorter than it saw makes it start
// over). Two caches always compare equal: they are no part of the node's
// state.
class EdgeRoleIndex {
 public:
  struct Group {
    std::uint32_t dir = 0;
    std::uint32_t role = 0;
    std::vector<std::uint32_t> positions;  // ascending
  };

  const std::vector<Group>& groups(std::span<const HyperEdge> edges) const;
  // The group of exactly (dir, role), or nullptr.
  const Group* group_of(std::span<const HyperEdge> edges, std::uint32_t dir, std::uint32_t role) const;
  // The position of `edge` in `edges`, or -1.
  std::int64_t position_of(std::span<const HyperEdge> edges, const HyperEdge& edge) const;

  friend bool operator==(const EdgeRoleIndex&, const EdgeRoleIndex&) { return true; }

 private:
  mutable std::vector<Group> groups_;
  mutable std::size_t seen_ = 0;
};

}  // namespace kelmon
