// The expansion rules, each run on one node and reporting whether it changed
// the graph, in the order the saturation loop calls them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tableau/completion/context.h"

namespace kelmon::completion {

bool apply_global_rule(TableauContext& ctx, NodeId x);
bool apply_and_rule(TableauContext& ctx, NodeId x);
bool apply_unfold_rule(TableauContext& ctx, NodeId x);
bool apply_nominal_unfold_rule(TableauContext& ctx, NodeId x);
bool apply_all_rule(TableauContext& ctx, NodeId x);
bool apply_absorbed_all_rule(TableauContext& ctx, NodeId x);
bool apply_role_chain_rule(TableauContext& ctx, NodeId x);
bool apply_self_rule(TableauContext& ctx, NodeId x);
bool apply_role_disjointness_rule(TableauContext& ctx, NodeId x);
bool apply_some_rule(TableauContext& ctx, NodeId x);
bool apply_min_rule(TableauContext& ctx, NodeId x);
bool apply_max_rule(TableauContext& ctx, NodeId x);
bool apply_nominal_merge_rule(TableauContext& ctx, NodeId x);
// The quiescent sweep.
bool apply_global_disjunction_rule(TableauContext& ctx, NodeId x);
bool apply_deferred_disjunction_rule(TableauContext& ctx, NodeId x);

struct NeighbourEntry {
  NodeId node;
  DepSet deps;
  std::uint32_t direction = 0;  // 0 out-edge, 1 in-edge
  RoleId role;
};

// R-neighbours: matching out-edges first, then matching in-edges, in edge order.
std::vector<NeighbourEntry> neighbours_over_role(const TableauContext& ctx, NodeId x, Role r);
// The same walk without building a list: f(neighbour, edge DepSet).
template <class F>
void for_each_neighbour(const TableauContext& ctx, NodeId x, Role r, F f) {
  const GraphNode& n = ctx.node(x);
  for (std::size_t i = 0; i < n.edges.size(); ++i) {
    if (ctx.role_matches(0, n.edges[i].role, r.inverse, r.id)) f(n.edges[i].node, n.edge_deps[i]);
  }
  for (std::size_t i = 0; i < n.in_edges.size(); ++i) {
    if (ctx.role_matches(1, n.in_edges[i].role, r.inverse, r.id)) f(n.in_edges[i].node, n.in_edge_deps[i]);
  }
}
bool loop_role_matches(const TableauContext& ctx, const std::vector<RoleId>& loop_roles, Role r);

// An at-most label that several merges could satisfy: the search chooses among
// the merges (from, into, deps), in the rule's pair order.
struct MergeChoice {
  NodeId node;
  ConceptId label;  // the at-most label
  struct Option {
    NodeId from;
    NodeId into;
    DepSet deps;
  };
  std::vector<Option> options;
};
// The first deferred at-most label of an unblocked node, nodes and labels ascending.
std::optional<MergeChoice> find_merge_choice(const TableauContext& ctx);

}  // namespace kelmon::completion
