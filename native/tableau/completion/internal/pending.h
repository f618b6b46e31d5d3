// Collect-then-apply: rules gather their additions against the graph as it
// stood when they started, then apply them in order.
#pragma once

#include <vector>

#include "tableau/completion/context.h"

namespace kelmon::completion::internal {

struct PendingLabel {
  NodeId node;
  ConceptId concept_id;
  DepSet deps;
};

inline bool apply_labels(TableauContext& ctx, const std::vector<PendingLabel>& pending) {
  bool changed = false;
  for (const PendingLabel& p : pending) changed |= ctx.add_label(p.node, p.concept_id, p.deps);
  return changed;
}

// Bottom at the node, when the pool holds one.
inline bool add_bottom(TableauContext& ctx, NodeId x, const DepSet& deps) {
  const auto bottom = ctx.pool->bottom_id();
  return bottom && ctx.add_label(x, *bottom, deps);
}

}  // namespace kelmon::completion::internal
