#include "tableau/completion/context.h"

#include <algorithm>

#include "common/invariant.h"
#include "common/overload.h"
#include "common/switches.h"

namespace kelmon::completion {

bool GraphNode::has_label(ConceptId c) const { return std::binary_search(labels.begin(), labels.end(), c); }

bool GraphNode::is_distinct_from(NodeId other) const {
  return std::find(distinct.begin(), distinct.end(), other) != distinct.end();
}

DepSet GraphNode::distinct_deps_with(NodeId other) const {
  auto it = std::find(distinct.begin(), distinct.end(), other);
  const auto k = static_cast<std::size_t>(it - distinct.begin());
  return k < distinct_deps.size() ? distinct_deps[k] : DepSet{};
}

// One clock read: two could disagree, reporting a passed deadline without the
// timed-out flag that makes the caller call the answer undecided.
bool TableauContext::deadline_passed() {
  if (!deadline || !expired(deadline)) return false;
  timed_out = true;
  return true;
}

std::optional<std::size_t> GraphNode::label_position(ConceptId c) const {
  auto it = std::lower_bound(labels.begin(), labels.end(), c);
  if (it == labels.end() || *it != c) return std::nullopt;
  return static_cast<std::size_t>(it - labels.begin());
}

TableauContext::TableauContext(ConceptPool& pool_ref, const AbsorbedTbox* absorbed_tbox, const RoleHierarchy* hierarchy)
    : pool(&pool_ref), absorbed(absorbed_tbox), role_hierarchy(hierarchy) {
  graph.anywhere = switch_flag(SwitchId::AnywhereBlocking);
  anywhere_blocking = switch_flag(SwitchId::AnywhereBlocking);
}

namespace {

void unindex_label_hash(CompletionGraph& g, std::uint64_t hash, NodeId id) {
  auto it = g.label_hash_index.find(hash);
  invariant(it != g.label_hash_index.end(), "label hash bucket present");
  auto& ids = it.value();
  auto pos = std::find(ids.begin(), ids.end(), id);
  invariant(pos != ids.end(), "node present in its label hash bucket");
  *pos = ids.back();
  ids.pop_back();
  if (ids.empty()) g.label_hash_index.erase(it);
}

// Moves the node's entry from its old hash to its new one; `had`/`has` say
// whether its label set was/is non-empty.
void rehash_node(CompletionGraph& g, NodeId id, std::uint64_t old_hash, bool had, bool has) {
  if (!g.anywhere) return;
  if (had) unindex_label_hash(g, old_hash, id);
  if (has) g.label_hash_index[g.summaries[id].label_hash].push_back(id);
}

}  // namespace

void TableauContext::set_anywhere_blocking(bool on) {
  anywhere_blocking = on;
  graph.anywhere = on;
  graph.anywhere_index.clear();
  graph.label_hash_index.clear();
  if (!on) return;
  invariant(graph.nodes.size() <= UINT32_MAX, "node count fits u32");
  for (NodeId id = 0; id < graph.nodes.size(); ++id) {
    if (const auto& role = graph.nodes[id].parent_role) graph.anywhere_index[*role].push_back(id);
    if (!graph.nodes[id].labels.empty()) graph.label_hash_index[graph.summaries[id].label_hash].push_back(id);
  }
}

void TableauContext::add_inverse_pair(RoleId r, RoleId s) {
  auto reverse = [&](RoleId sub, RoleId sup) {
    if (reverse_super_rows.size() <= sub.v) reverse_super_rows.resize(sub.v + 1);
    auto& row = reverse_super_rows[sub.v];
    auto it = std::lower_bound(row.begin(), row.end(), sup);
    if (it == row.end() || *it != sup) row.insert(it, sup);
  };
  auto add = [&](RoleId a, RoleId b) {
    if (std::find(inverse_pairs.begin(), inverse_pairs.end(), std::pair{a, b}) == inverse_pairs.end())
      inverse_pairs.emplace_back(a, b);
    inverse_pair_set.insert({a, b});
    reverse(a, b);
    const std::size_t known = role_hierarchy ? role_hierarchy->role_count() : 0;
    if (a.v >= known || b.v >= known) return;
    for (RoleId sub : role_hierarchy->sub_roles(a))
      for (RoleId sup : role_hierarchy->super_roles(b)) reverse(sub, sup);
  };
  global_record_index_.reset();
  add(r, s);
  add(s, r);
}

const GlobalRecordIndex& TableauContext::global_record_index() const {
  if (global_record_index_) return *global_record_index_;
  GlobalRecordIndex index;
  if (absorbed) {
    const auto& records = absorbed->global_all_records;
    for (std::uint32_t i = 0; i < records.size(); ++i) {
      const Role r = records[i].role;
      index.by_role[(std::uint64_t{r.inverse} << 32) | r.id.v].push_back(i);
    }
  }
  for (std::uint32_t s = 0; s < reverse_super_rows.size(); ++s) {
    const auto& row = reverse_super_rows[s];
    if (!row.empty()) index.reverse_supers[s] = row;
  }
  if (role_hierarchy) {
    for (std::uint32_t s = 0; s < role_hierarchy->role_count(); ++s) {
      const auto row = role_hierarchy->reverse_supers.at(s);
      if (!row.empty()) index.reverse_supers[s].insert(index.reverse_supers[s].end(), row.begin(), row.end());
    }
  }
  for (auto it = index.reverse_supers.begin(); it != index.reverse_supers.end(); ++it) {
    auto& roles = it.value();
    std::sort(roles.begin(), roles.end());
    roles.erase(std::unique(roles.begin(), roles.end()), roles.end());
  }
  global_record_index_ = std::move(index);
  return *global_record_index_;
}

void TableauContext::set_complement(ConceptId concept_id, ConceptId complement) { complements[concept_id] = complement; }

NodeId TableauContext::add_node(std::optional<NodeId> parent, std::optional<Role> parent_role) {
  invariant(graph.nodes.size() < UINT32_MAX, "node count exceeds u32");
  const auto id = static_cast<NodeId>(graph.nodes.size());
  GraphNode& n = graph.nodes.emplace_back();
  n.parent = parent;
  n.parent_role = parent_role;
  graph.summaries.push_back(NodeSummary{parent, parent_role, 0, 0});
  graph.globals_added.push_back(0);
  graph.dirty.push_back(kDirtyAll);
  if (parent_role && graph.anywhere) graph.anywhere_index[*parent_role].push_back(id);
  return id;
}

NodeId TableauContext::add_trailed_node(std::optional<NodeId> parent, std::optional<Role> parent_role) {
  const std::uint64_t old_count = graph.nodes.size();
  const NodeId id = add_node(parent, parent_role);
  trail.emplace_back(NodesAdded{old_count});
  return id;
}

bool TableauContext::add_label(NodeId id, ConceptId concept_id, std::span<const std::uint32_t> deps) {
  GraphNode& n = node(id);
  auto it = std::lower_bound(n.labels.begin(), n.labels.end(), concept_id);
  if (it != n.labels.end() && *it == concept_id) return false;
  const auto pos = it - n.labels.begin();
  n.labels.insert(it, concept_id);
  n.label_deps.insert(n.label_deps.begin() + pos, DepSet::from_slice(deps));
  NodeSummary& sum = graph.summaries[id];
  sum.signature |= signature_bit(concept_id);
  const std::uint64_t old_hash = sum.label_hash;
  sum.label_hash += label_hash_of(concept_id);
  rehash_node(graph, id, old_hash, n.labels.size() > 1, true);
  trail.emplace_back(LabelAdded{id, concept_id});
  ++labels_added;
  mark_dirty(id);
  // Neighbours read this node's labels (universal, at-most and witness
  // checks), so they must be visited again as well.
  for (const Edge& e : n.edges) mark_dirty(e.node, kDirtyLabels);
  for (const Edge& e : n.in_edges) mark_dirty(e.node, kDirtyLabels);
  return true;
}

void TableauContext::add_edge(NodeId from, RoleId role, NodeId to, std::span<const std::uint32_t> deps) {
  invariant(to < graph.nodes.size(), "node id out of range");
  DepSet d = DepSet::from_slice(deps);
  GraphNode& f = node(from);
  f.edges.push_back({role, to});
  f.edge_deps.push_back(d);
  GraphNode& t = node(to);
  t.in_edges.push_back({role, from});
  t.in_edge_deps.push_back(std::move(d));
  trail.emplace_back(EdgeAdded{from, role, to});
  mark_edge_ends_dirty(from, to);
}

// A role chain through a changed edge may start at either end or at a
// neighbour of either end.
void TableauContext::mark_edge_ends_dirty(NodeId from, NodeId to) {
  mark_dirty(from);
  mark_dirty(to);
  if (role_chains.empty()) return;
  for (NodeId end : {from, to}) {
    const GraphNode& n = node(end);
    for (const Edge& e : n.edges) mark_dirty(e.node, kDirtyEdges);
    for (const Edge& e : n.in_edges) mark_dirty(e.node, kDirtyEdges);
  }
}

void TableauContext::remove_edge(NodeId from, RoleId role, NodeId to, std::size_t out_position,
                                 std::size_t in_position) {
  GraphNode& f = node(from);
  GraphNode& t = node(to);
  invariant(out_position < f.edges.size() && in_position < t.in_edges.size(), "edge position out of range");
  DepSet out_deps = out_position < f.edge_deps.size() ? f.edge_deps[out_position] : DepSet{};
  DepSet in_deps = in_position < t.in_edge_deps.size() ? t.in_edge_deps[in_position] : DepSet{};
  f.edges.erase(f.edges.begin() + out_position);
  if (out_position < f.edge_deps.size()) f.edge_deps.erase(f.edge_deps.begin() + out_position);
  t.in_edges.erase(t.in_edges.begin() + in_position);
  if (in_position < t.in_edge_deps.size()) t.in_edge_deps.erase(t.in_edge_deps.begin() + in_position);
  trail.emplace_back(EdgeRemoved{from, role, to, out_position, in_position, std::move(out_deps), std::move(in_deps)});
  mark_edge_ends_dirty(from, to);
}

void TableauContext::mark_distinct(NodeId a, NodeId b, const DepSet& deps) {
  if (a == b) return;
  GraphNode& na = node(a);
  if (na.is_distinct_from(b)) return;
  na.distinct.push_back(b);
  na.distinct_deps.push_back(deps);
  GraphNode& nb = node(b);
  nb.distinct.push_back(a);
  nb.distinct_deps.push_back(deps);
  trail.emplace_back(DistinctMarked{a, b});
  ++graph_version;
}

void TableauContext::set_nominal_node(std::uint32_t key, NodeId id) {
  std::optional<NodeId> old;
  if (auto it = graph.nominal_nodes.find(key); it != graph.nominal_nodes.end()) {
    if (it->second == id) return;
    old = it->second;
  }
  graph.nominal_nodes[key] = id;
  trail.emplace_back(NominalNodeSet{key, old});
}

void TableauContext::clear_dirty(NodeId id, std::uint8_t bits) {
  const std::uint8_t cleared = graph.dirty[id] & bits;
  if (!cleared) return;
  graph.dirty[id] &= static_cast<std::uint8_t>(~cleared);
  if (last_clear_.size() <= id) last_clear_.resize(graph.nodes.size(), 0);
  const std::uint64_t pos = last_clear_[id];
  if (pos != 0 && pos - 1 < trail.size() && (checkpoints_.empty() || pos - 1 > checkpoints_.back())) {
    // A rollback reaches that entry whenever it reaches this clear; setting
    // more bits than were cleared there only costs a recheck.
    if (auto* e = std::get_if<DirtyCleared>(&trail[pos - 1]); e && e->node == id) {
      e->bits |= cleared;
      return;
    }
  }
  trail.emplace_back(DirtyCleared{id, cleared});
  last_clear_[id] = trail.size();
}

std::uint64_t TableauContext::checkpoint() {
  const std::uint64_t index = trail.size();
  trail.emplace_back(Checkpoint{});
  checkpoints_.push_back(index);
  return index;
}

NodeId TableauContext::representative(NodeId id) const {
  // Bounded walk: merge chains are acyclic, the bound only guards a broken graph.
  for (std::size_t steps = 0; steps <= graph.nodes.size(); ++steps) {
    const auto& next = node(id).merged_into;
    if (!next) return id;
    id = *next;
  }
  invariant_failure("merged_into chain is acyclic");
}

namespace {

std::optional<std::size_t> find_edge(const std::vector<Edge>& edges, RoleId role, NodeId other) {
  for (std::size_t i = 0; i < edges.size(); ++i) {
    if (edges[i].role == role && edges[i].node == other) return i;
  }
  return std::nullopt;
}

}  // namespace

bool TableauContext::merge_nodes(NodeId from, NodeId into, const DepSet& deps) {
  if (node(from).is_distinct_from(into)) return false;
  mark_dirty(into);
  const GraphNode& source = node(from);
  const std::size_t label_count = std::min(source.labels.size(), source.label_deps.size());
  std::vector<std::pair<ConceptId, DepSet>> labels;
  labels.reserve(label_count);
  for (std::size_t i = 0; i < label_count; ++i) labels.emplace_back(source.labels[i], source.label_deps[i]);
  const std::vector<Edge> out_edges = source.edges;
  const std::vector<Edge> in_edges = source.in_edges;
  const std::vector<NodeId> distinct = source.distinct;
  const std::vector<DepSet> distinct_deps = source.distinct_deps;

  for (const auto& [concept_id, label_deps] : labels) add_label(into, concept_id, DepSet::union_of(label_deps, deps));

  for (const Edge& e : out_edges) {
    const auto k = find_edge(node(from).edges, e.role, e.node);
    invariant(k.has_value(), "edge present at merge time");
    const auto l = find_edge(node(e.node).in_edges, e.role, from);
    invariant(l.has_value(), "mirror in-edge present at merge time");
    const auto& fdeps = node(from).edge_deps;
    DepSet copied = *k < fdeps.size() ? fdeps[*k] : DepSet{};
    remove_edge(from, e.role, e.node, *k, *l);
    // An edge the survivor already has stays as it is: a second copy would
    // only make every rule read it twice.
    const NodeId target = e.node == from ? into : e.node;
    if (!find_edge(node(into).edges, e.role, target)) add_edge(into, e.role, target, DepSet::union_of(copied, deps));
  }

  for (const Edge& e : in_edges) {
    const NodeId s = representative(e.node);
    if (s == from) continue;
    const auto i = find_edge(node(s).edges, e.role, from);
    if (!i) continue;
    const auto k = find_edge(node(from).in_edges, e.role, s);
    invariant(k.has_value(), "source in-edge present at merge time");
    const auto& sdeps = node(s).edge_deps;
    DepSet copied = *i < sdeps.size() ? sdeps[*i] : DepSet{};
    remove_edge(s, e.role, from, *i, *k);
    if (!find_edge(node(s).edges, e.role, into)) add_edge(s, e.role, into, DepSet::union_of(copied, deps));
  }

  for (std::size_t i = 0; i < distinct.size(); ++i) {
    const NodeId d = distinct[i];
    const DepSet mark = i < distinct_deps.size() ? distinct_deps[i] : DepSet{};
    if (d != into && d != from) mark_distinct(into, d, DepSet::union_of(mark, deps));
  }

  invariant(graph.nodes.size() <= UINT32_MAX, "node count fits in u32");
  for (NodeId k = 0; k < graph.nodes.size(); ++k) {
    if (k == from || node(k).parent != from) continue;
    bool is_ancestor = false;
    std::optional<NodeId> walk = into;
    for (std::size_t steps = 0; walk && steps <= graph.nodes.size(); ++steps) {
      if (*walk == k) {
        is_ancestor = true;
        break;
      }
      walk = node(*walk).parent;
    }
    GraphNode& child = node(k);
    trail.emplace_back(ParentSet{k, child.parent_role, child.parent});
    ++graph_version;
    child.parent = is_ancestor ? std::nullopt : std::optional<NodeId>(into);
    graph.summaries[k].parent = child.parent;
  }

  GraphNode& merged = node(from);
  trail.emplace_back(MergeSet{from, into, merged.merged_into});
  merged.merged_into = into;
  ++graph_version;
  return true;
}

void TableauContext::rollback(std::uint64_t cp) {
  invariant(cp < trail.size(), "checkpoint already rolled back");
  invariant(std::holds_alternative<Checkpoint>(trail[cp]), "checkpoint handle does not point at a Checkpoint entry");
  while (trail.size() > cp) {
    undo(trail.back());
    trail.pop_back();
  }
  while (!checkpoints_.empty() && checkpoints_.back() >= cp) checkpoints_.pop_back();
}

void TableauContext::undo(TrailEntry& entry) {
  ++graph_version;
  std::visit(
      Overload{
          [&](const LabelAdded& e) {
            GraphNode& n = node(e.node);
            const auto pos = n.label_position(e.concept_id);
            invariant(pos.has_value(), "LabelAdded undo: concept_id missing from sorted labels");
            n.labels.erase(n.labels.begin() + *pos);
            if (*pos < n.label_deps.size()) n.label_deps.erase(n.label_deps.begin() + *pos);
            std::uint64_t sig = 0;
            for (ConceptId c : n.labels) sig |= signature_bit(c);
            NodeSummary& sum = graph.summaries[e.node];
            sum.signature = sig;
            const std::uint64_t old_hash = sum.label_hash;
            sum.label_hash -= label_hash_of(e.concept_id);
            rehash_node(graph, e.node, old_hash, true, !n.labels.empty());
            graph.globals_added[e.node] = 0;
          },
          [&](const EdgeAdded& e) {
            GraphNode& f = node(e.from);
            invariant(!f.edges.empty(), "EdgeAdded undo: edge list empty");
            f.edges.pop_back();
            invariant(!f.edge_deps.empty(), "EdgeAdded undo: edge_deps empty");
            f.edge_deps.pop_back();
            GraphNode& t = node(e.to);
            invariant(!t.in_edges.empty(), "EdgeAdded undo: target in-edges empty");
            t.in_edges.pop_back();
            invariant(!t.in_edge_deps.empty(), "EdgeAdded undo: target in_edge_deps empty");
            t.in_edge_deps.pop_back();
          },
          [&](const NodesAdded& e) {
            graph.nodes.resize(e.old_count);
            graph.summaries.resize(e.old_count);
            graph.globals_added.resize(e.old_count);
            graph.dirty.resize(e.old_count);
            if (graph.anywhere) {
              for (auto it = graph.anywhere_index.begin(); it != graph.anywhere_index.end(); ++it) {
                auto& ids = it.value();
                while (!ids.empty() && ids.back() >= e.old_count) ids.pop_back();
              }
            }
          },
          [&](const DistinctMarked& e) {
            for (NodeId end : {e.a, e.b}) {
              GraphNode& n = node(end);
              invariant(!n.distinct.empty(), "DistinctMarked undo: mark list empty");
              n.distinct.pop_back();
              if (!n.distinct_deps.empty()) n.distinct_deps.pop_back();
            }
          },
          [&](EdgeRemoved& e) {
            GraphNode& f = node(e.from);
            f.edges.insert(f.edges.begin() + e.out_position, Edge{e.role, e.to});
            f.edge_deps.insert(f.edge_deps.begin() + std::min<std::size_t>(e.out_position, f.edge_deps.size()),
                               std::move(e.out_deps));
            GraphNode& t = node(e.to);
            t.in_edges.insert(t.in_edges.begin() + e.in_position, Edge{e.role, e.from});
            t.in_edge_deps.insert(t.in_edge_deps.begin() + std::min<std::size_t>(e.in_position, t.in_edge_deps.size()),
                                  std::move(e.in_deps));
          },
          [&](const MergeSet& e) { node(e.node).merged_into = e.old_merged_into; },
          [&](const ParentSet& e) {
            GraphNode& n = node(e.node);
            n.parent_role = e.old_parent_role;
            n.parent = e.old_parent;
            graph.summaries[e.node].parent_role = e.old_parent_role;
            graph.summaries[e.node].parent = e.old_parent;
          },
          [&](const NominalNodeSet& e) {
            if (e.old_node) graph.nominal_nodes[e.key] = *e.old_node;
            else graph.nominal_nodes.erase(e.key);
          },
          [&](const DirtyCleared& e) { graph.dirty[e.node] |= e.bits; },
          [&](const Checkpoint&) {},
      },
      entry);
}

}  // namespace kelmon::completion
