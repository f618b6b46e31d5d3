// The completion graph of one tableau test: nodes with sorted labels and
// directed role edges (each stored once out and once in), the per-node
// summaries that blocking scans, and the undo records of the trail.
#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include <tsl/robin_map.h>

#include "common/ids.h"
#include "core/concept.h"
#include "tableau/completion/dep_set.h"

namespace kelmon::completion {

using NodeId = std::uint32_t;

// One stored edge end: the role id (never inverse) and the node at the other end.
struct Edge {
  RoleId role;
  NodeId node;
  friend constexpr bool operator==(const Edge&, const Edge&) = default;
};

struct GraphNode {
  std::vector<DepSet> label_deps;
  std::vector<DepSet> edge_deps;
  std::vector<DepSet> in_edge_deps;
  std::optional<NodeId> parent;
  std::optional<NodeId> merged_into;
  std::optional<Role> parent_role;
  std::vector<ConceptId> labels;  // ascending, duplicate-free
  std::vector<Edge> edges;        // out-edges, in the order added
  std::vector<Edge> in_edges;     // in-edges, in the order added
  std::vector<NodeId> distinct;
  // Beside `distinct`: the branch ids each mark rests on.
  std::vector<DepSet> distinct_deps;

  bool has_label(ConceptId c) const;
  bool is_distinct_from(NodeId other) const;
  // What the mark against `other` rests on; empty when there is none.
  DepSet distinct_deps_with(NodeId other) const;
  // Position of the label, or none.
  std::optional<std::size_t> label_position(ConceptId c) const;
};

// Kept beside the nodes so blocking scans touch little memory.
struct NodeSummary {
  std::optional<NodeId> parent;
  std::optional<Role> parent_role;
  std::uint64_t signature = 0;
  // Sum of label_hash_of over the labels: equal label sets have equal hashes,
  // and adding or removing one label updates it in O(1).
  std::uint64_t label_hash = 0;
};

// A well-mixed 64-bit hash of one label (splitmix64 finaliser).
constexpr std::uint64_t label_hash_of(ConceptId c) {
  std::uint64_t z = static_cast<std::uint64_t>(c.v) + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

// The signature bit of one label: top 6 bits of a 32-bit multiplicative hash.
constexpr std::uint64_t signature_bit(ConceptId c) {
  return std::uint64_t{1} << ((static_cast<std::uint32_t>(c.v * 0x9E3779B9u)) >> 26);
}

constexpr std::uint8_t kDirtyRules = 1;
constexpr std::uint8_t kDirtySweep = 2;
constexpr std::uint8_t kDirtyClash = 4;
constexpr std::uint8_t kDirtyEdges = 8;
constexpr std::uint8_t kDirtyAll = kDirtyRules | kDirtySweep | kDirtyClash | kDirtyEdges;
// What a neighbour's new label can make applicable: not the role-chain rule,
// which reads edges only.
constexpr std::uint8_t kDirtyLabels = kDirtyRules | kDirtySweep | kDirtyClash;

struct RoleKeyHash {
  std::size_t operator()(Role r) const noexcept {
    return std::hash<std::uint64_t>{}((std::uint64_t{r.inverse} << 32) | r.id.v);
  }
};

struct CompletionGraph {
  std::vector<GraphNode> nodes;
  std::vector<NodeSummary> summaries;
  std::vector<std::uint8_t> globals_added;
  // Per node: kDirtyRules (its rules may apply), kDirtySweep (the quiescent
  // disjunction rules may apply), kDirtyClash (not clash-checked since it
  // changed), kDirtyEdges (its role-chain rule may apply: its edges or a
  // neighbour's changed).
  std::vector<std::uint8_t> dirty;
  tsl::robin_map<std::uint32_t, NodeId> nominal_nodes;
  tsl::robin_map<Role, std::vector<NodeId>, RoleKeyHash> anywhere_index;
  // With anywhere blocking: the nodes with a non-empty label set, bucketed by
  // label hash, so an equal-label blocker is looked up instead of scanned for.
  tsl::robin_map<std::uint64_t, std::vector<NodeId>> label_hash_index;
  bool anywhere = false;

  std::size_t size() const { return nodes.size(); }
};

struct RoleChain {
  Role first;
  Role second;
  Role implied;
};

// Undo records, one variant per kind, in kind order.
struct LabelAdded {
  NodeId node;
  ConceptId concept_id;
};
struct EdgeAdded {
  NodeId from;
  RoleId role;
  NodeId to;
};
struct NodesAdded {
  std::uint64_t old_count;
};
struct DistinctMarked {
  NodeId a;
  NodeId b;
};
struct EdgeRemoved {
  NodeId from;
  RoleId role;
  NodeId to;
  std::uint64_t out_position;
  std::uint64_t in_position;
  DepSet out_deps;
  DepSet in_deps;
};
struct MergeSet {
  NodeId node;
  NodeId target;
  std::optional<NodeId> old_merged_into;
};
struct ParentSet {
  NodeId node;
  std::optional<Role> old_parent_role;
  std::optional<NodeId> old_parent;
};
struct NominalNodeSet {
  std::uint32_t key;
  std::optional<NodeId> old_node;
};
// The saturation cleared a node's dirty bits: a rollback sets them again, so
// a node left clean is one whose rules had nothing to do in the restored graph.
struct DirtyCleared {
  NodeId node;
  std::uint8_t bits;
};
struct Checkpoint {};

using TrailEntry = std::variant<LabelAdded, EdgeAdded, NodesAdded, DistinctMarked, EdgeRemoved, MergeSet, ParentSet,
                                NominalNodeSet, DirtyCleared, Checkpoint>;

}  // namespace kelmon::completion
