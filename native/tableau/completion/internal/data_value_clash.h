// Data-value clashes the per-role restriction groups cannot see: a value node
// whose keys leave no value, and two disjoint data roles that need one value.
#pragma once

#include <optional>

#include "tableau/completion/context.h"

namespace kelmon::completion::internal {

// A node carrying data-value keys that leave no value: none lies inside every
// key of its label and outside every negated one.
std::optional<DepSet> value_node_clash(const TableauContext& ctx, NodeId id);

// Two disjoint roles of the node, each needing a value (through itself or a
// sub-role) by a key that holds exactly one value, and that value the same.
std::optional<DepSet> disjoint_data_roles_clash(const TableauContext& ctx, NodeId id);

}  // namespace kelmon::completion::internal
