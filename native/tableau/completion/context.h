// The state of one completion-graph tableau test and every operation that
// changes its graph. Changes go on the trail, so a branch point costs only
// what its option adds and is undone by rolling back to a checkpoint.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/ids.h"
#include "core/absorption.h"
#include "core/concept_pool.h"
#include "core/data/dkey_value.h"
#include "core/role_hierarchy.h"
#include "tableau/completion/dep_set.h"
#include "tableau/completion/graph.h"

namespace kelmon::completion {

struct RolePairHash {
  std::size_t operator()(std::pair<RoleId, RoleId> p) const noexcept {
    return std::hash<std::uint64_t>{}((std::uint64_t{p.first.v} << 32) | p.second.v);
  }
};

// The unguarded universal records by role, and per role S every R with S⁻ ⊑ R,
// so a node's edges find their records without trying every record.
struct GlobalRecordIndex {
  tsl::robin_map<std::uint64_t, std::vector<std::uint32_t>> by_role;  // (flag << 32 | role) -> record positions
  tsl::robin_map<std::uint32_t, std::vector<RoleId>> reverse_supers;
};

class TableauContext {
 public:
  // Borrows the pool, the absorbed TBox and the role hierarchy for its whole life;
  // the last two may be null.
  TableauContext(ConceptPool& pool, const AbsorbedTbox* absorbed, const RoleHierarchy* role_hierarchy);

  std::vector<std::pair<RoleId, RoleId>> inverse_pairs;
  std::vector<RoleChain> role_chains;
  std::vector<RoleId> asymmetric_roles;
  // The first of each pair is named; the second may be an inverse.
  std::vector<std::pair<Role, Role>> disjoint_role_pairs;
  CompletionGraph graph;
  std::vector<TrailEntry> trail;
  std::vector<std::uint32_t> branch_stack;
  Deadline deadline;
  std::uint64_t abandon_limit = 0;
  std::uint64_t stall_run = 0;
  std::uint64_t max_stall_run = 0;
  std::uint64_t depth0_cuts = 0;
  std::uint64_t trials = 0;
  std::uint64_t definite = 0;
  std::uint8_t abandon_state = 2;  // 0 on, 1 abandoned, 2 off
  ConceptPool* pool;
  tsl::robin_set<std::pair<RoleId, RoleId>, RolePairHash> inverse_pair_set;
  // Row S holds, ascending, every R with S⁻ ⊑ R through an inverse pair and the
  // role hierarchy: S ⊑ P, P⁻ = Q, Q ⊑ R. The hierarchy's own reverse rows
  // count as well (role_matches reads both). Rows by role id: role matching
  // runs per edge per rule.
  std::vector<std::vector<RoleId>> reverse_super_rows;
  tsl::robin_map<ConceptId, ConceptId> complements;
  SeededIdMap<ClassId, DKeyValue> data_ranges;
  const AbsorbedTbox* absorbed;
  const RoleHierarchy* role_hierarchy;
  std::uint32_t branch_counter = 0;
  bool timed_out = false;
  bool anywhere_blocking = false;
  // Set by the kernel when the knowledge base uses inverse roles: blocking then
  // needs equal labels, since a blocked node's predecessor can be changed from below.
  bool inverse_roles = false;
  // Set when the search ran out of its depth budget or its iteration cap, so a
  // NoVerdict is an undecided answer rather than a fault.
  bool bound_hit = false;
  // Labels added over the context's life; saturation tells growth from churn by it.
  std::uint64_t labels_added = 0;
  // Bumped by every change to the graph (and every undo): the blocking memo
  // is valid while it stands still.
  std::uint64_t graph_version = 1;

  // --- graph changes (all trailed unless stated)
  void set_anywhere_blocking(bool on);
  void add_inverse_pair(RoleId r, RoleId s);
  void set_complement(ConceptId concept_id, ConceptId complement);  // not trailed
  // Not trailed: the caller pushes NodesAdded with the old count right after.
  NodeId add_node(std::optional<NodeId> parent, std::optional<Role> parent_role);
  // add_node and its NodesAdded entry.
  NodeId add_trailed_node(std::optional<NodeId> parent, std::optional<Role> parent_role);
  bool add_label(NodeId node, ConceptId concept_id, std::span<const std::uint32_t> deps);
  bool add_label(NodeId node, ConceptId concept_id, const DepSet& deps) { return add_label(node, concept_id, deps.ids()); }
  void add_edge(NodeId from, RoleId role, NodeId to, std::span<const std::uint32_t> deps);
  void add_edge(NodeId from, RoleId role, NodeId to, const DepSet& deps) { add_edge(from, role, to, deps.ids()); }
  void remove_edge(NodeId from, RoleId role, NodeId to, std::size_t out_position, std::size_t in_position);
  // `deps`: the branch ids the two nodes' distinctness rests on (none when asserted).
  void mark_distinct(NodeId a, NodeId b, const DepSet& deps = DepSet{});
  void mark_edge_ends_dirty(NodeId from, NodeId to);
  bool merge_nodes(NodeId from, NodeId into, const DepSet& deps);
  void set_nominal_node(std::uint32_t key, NodeId node);
  std::uint64_t checkpoint();
  void rollback(std::uint64_t checkpoint);
  // Follows merged_into links to the node that stands for `node` now.
  NodeId representative(NodeId node) const;
  void mark_dirty(NodeId node, std::uint8_t bits = kDirtyAll) {
    graph.dirty[node] |= bits;
    ++graph_version;
  }
  // Trailed, so a rollback finds the node dirty again.
  void clear_dirty(NodeId node, std::uint8_t bits);
  // True once the deadline has passed, which also sets timed_out.
  bool deadline_passed();

  // --- queries (blocking_queries.cpp)
  bool is_blocked(NodeId node) const;
  // Blocked by a node of its own, not through an ancestor.
  bool directly_blocked(NodeId node) const;
  // Below a directly blocked node: no model reads it, so no rule and no
  // choice needs to touch it.
  bool indirectly_blocked(NodeId node) const;
  bool role_matches(std::uint32_t direction, RoleId edge_role, std::uint32_t wanted_inverse, RoleId wanted) const;
  bool has_label_or_told(NodeId node, ConceptId concept_id) const;
  // Whether adding the concept to a node makes the node grow successors:
  // an existential or at-least restriction in it, through conjunctions and the
  // unfoldings of its atoms. Cached per concept.
  bool generates_successors(ConceptId concept_id) const;
  bool has_pending_nominal_disjunction(NodeId node) const;
  const DKeyValue* data_range_of(ConceptId concept_id) const;

  // --- clash check (clash.cpp)
  std::optional<DepSet> clash(NodeId node) const;

  GraphNode& node(NodeId id) { return graph.nodes.at(id); }
  const GraphNode& node(NodeId id) const { return graph.nodes.at(id); }
  const Concept& concept_of(ConceptId id) const { return pool->get(id); }
  DepSet branch_deps() const { return DepSet::from_slice(branch_stack); }

 private:
  void build_told_closure() const;
  void undo(TrailEntry& entry);

  mutable std::optional<tsl::robin_map<ClassId, std::vector<ConceptId>>> told_closure_;
  // directly_blocked by node, as of graph_version: every rule asks it again.
  mutable std::vector<std::uint64_t> blocked_version_;
  mutable std::vector<std::uint8_t> blocked_value_;
  // Trail positions of the open checkpoints, ascending, and of each node's last
  // DirtyCleared entry plus one: a clear joins the node's entry when no
  // checkpoint lies between, so the trail grows by at most one clear per node
  // per checkpoint.
  std::vector<std::uint64_t> checkpoints_;
  std::vector<std::uint64_t> last_clear_;
  bool directly_blocked_uncached(NodeId node) const;
  mutable std::optional<GlobalRecordIndex> global_record_index_;
  mutable bool told_closure_building_ = false;
  mutable tsl::robin_map<ConceptId, bool> generates_successors_;

 public:
  // Built on first use; read-only afterwards.
  const tsl::robin_map<ClassId, std::vector<ConceptId>>& told_closure() const;
  // Built on first use after the inverse pairs are in.
  const GlobalRecordIndex& global_record_index() const;
};

// True when the concept_id is an Or, none of its operands is among the sorted
// labels, and one operand is a Nominal.
bool pending_nominal_disjunction(const ConceptPool& pool, ConceptId concept_id, std::span<const ConceptId> labels);

}  // namespace kelmon::completion
