// Walks an edge list and yields the far end of each edge that matches a
// requested direction and role.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "tableau/hyper/hyper.h"

namespace kelmon::hyper_internal {

class RoleEdgeIter {
 public:
  // `backwards`: the list is an in-edge list walked from its target.
  RoleEdgeIter(const HyperEngine& engine, std::span<const HyperEdge> edges, std::uint32_t dir, std::uint32_t role,
               bool backwards)
      : engine_(engine), edges_(edges), dir_(dir), role_(role), backwards_(backwards) {}

  std::optional<std::uint32_t> next() {
    while (pos_ < edges_.size()) {
      const HyperEdge& e = edges_[pos_++];
      if (!engine_.edge_matches(dir_, role_, e, backwards_)) continue;
      return engine_.inverse_func_merge ? engine_.find(e.node) : e.node;
    }
    return std::nullopt;
  }

 private:
  const HyperEngine& engine_;
  std::span<const HyperEdge> edges_;
  std::uint32_t dir_;
  std::uint32_t role_;
  bool backwards_;
  std::size_t pos_ = 0;
};

}  // namespace kelmon::hyper_internal
