// Blocking and the label queries the rules ask before they act.
#include <algorithm>

#include <tsl/robin_set.h>

#include "common/invariant.h"
#include "tableau/completion/context.h"

namespace kelmon::completion {
namespace {

bool labels_subset(const std::vector<ConceptId>& a, const std::vector<ConceptId>& b) {
  return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

bool has_nominal_label(const ConceptPool& pool, const GraphNode& n) {
  return std::any_of(n.labels.begin(), n.labels.end(),
                     [&](ConceptId c) { return std::holds_alternative<Nominal>(pool.get(c)); });
}

}  // namespace

namespace {

// Subset pairwise blocking of x by y (q the parent of y): the signatures
// filter, the sorted labels decide.
bool subset_blocks(const TableauContext& ctx, NodeId x, NodeId p, NodeId y, NodeId q) {
  const auto& sums = ctx.graph.summaries;
  return (sums[x].signature & ~sums[y].signature) == 0 && (sums[p].signature & ~sums[q].signature) == 0 &&
         labels_subset(ctx.node(x).labels, ctx.node(y).labels) && labels_subset(ctx.node(p).labels, ctx.node(q).labels);
}

bool equal_blocks(const TableauContext& ctx, NodeId x, NodeId p, NodeId y, NodeId q) {
  const auto& sums = ctx.graph.summaries;
  return sums[x].label_hash == sums[y].label_hash && sums[p].label_hash == sums[q].label_hash &&
         ctx.node(x).labels == ctx.node(y).labels && ctx.node(p).labels == ctx.node(q).labels;
}

}  // namespace

bool TableauContext::directly_blocked(NodeId x) const {
  if (blocked_version_.size() <= x) {
    blocked_version_.resize(graph.nodes.size(), 0);
    blocked_value_.resize(graph.nodes.size(), 0);
  }
  // The modes are plain fields a caller may flip: they are part of the key.
  const std::uint64_t key = (graph_version << 2) | (std::uint64_t{anywhere_blocking} << 1) | inverse_roles;
  if (blocked_version_[x] == key) return blocked_value_[x] != 0;
  const bool blocked = directly_blocked_uncached(x);
  blocked_version_[x] = key;
  blocked_value_[x] = blocked ? 1 : 0;
  return blocked;
}

bool TableauContext::directly_blocked_uncached(NodeId x) const {
  const GraphNode& nx = node(x);
  if (!nx.parent || !nx.parent_role) return false;
  const NodeId p = *nx.parent;
  auto blocks = [&](NodeId y, NodeId q) {
    return inverse_roles ? equal_blocks(*this, x, p, y, q) : subset_blocks(*this, x, p, y, q);
  };
  if (!anywhere_blocking) {
    std::optional<NodeId> y = p;
    for (std::size_t steps = 0; y && steps <= graph.nodes.size() + 1; ++steps) {
      const GraphNode& ny = node(*y);
      if (!ny.parent) return false;
      if (ny.parent_role == nx.parent_role && blocks(*y, *ny.parent)) return true;
      y = ny.parent;
    }
    return false;
  }
  if (has_nominal_label(*pool, nx)) return false;
  // A candidate blocker: earlier, live, with a parent over the same role.
  auto candidate = [&](NodeId c) {
    const GraphNode& nc = node(c);
    return c < x && nc.parent && !nc.merged_into && nc.parent_role == nx.parent_role;
  };
  if (inverse_roles) {
    // Equal labels: only the nodes of x's label-hash bucket can block it.
    auto bucket = graph.label_hash_index.find(graph.summaries[x].label_hash);
    if (bucket == graph.label_hash_index.end()) return false;
    for (NodeId c : bucket->second) {
      if (candidate(c) && blocks(c, *node(c).parent) && !has_nominal_label(*pool, node(c))) return true;
    }
    return false;
  }
  auto it = graph.anywhere_index.find(*nx.parent_role);
  if (it == graph.anywhere_index.end()) return false;
  for (NodeId c : it->second) {
    if (c >= x) return false;
    const GraphNode& nc = node(c);
    if (!nc.parent || nc.merged_into) continue;
    // The label comparison filters by signature first; the nominal scan is dear.
    if (blocks(c, *nc.parent) && !has_nominal_label(*pool, nc)) return true;
  }
  return false;
}

bool TableauContext::is_blocked(NodeId x) const {
  if (!inverse_roles) return directly_blocked(x);
  // Equal labels hold only once a node's successors have reported back, so
  // a leaf never equals an ancestor: a node below a blocked one is blocked too.
  return directly_blocked(x) || indirectly_blocked(x);
}

bool TableauContext::indirectly_blocked(NodeId x) const {
  std::optional<NodeId> a = node(x).parent;
  for (std::size_t steps = 0; a && steps <= graph.nodes.size() + 1; ++steps) {
    if (directly_blocked(*a)) return true;
    a = node(*a).parent;
  }
  return false;
}

bool TableauContext::role_matches(std::uint32_t direction, RoleId edge_role, std::uint32_t wanted_inverse,
                                  RoleId wanted) const {
  if (direction == wanted_inverse) {
    if (!role_hierarchy) return edge_role == wanted;
    const auto row = role_hierarchy->super_roles(edge_role);
    return std::binary_search(row.begin(), row.end(), wanted);
  }
  if (edge_role.v < reverse_super_rows.size()) {
    const auto& row = reverse_super_rows[edge_role.v];
    if (std::binary_search(row.begin(), row.end(), wanted)) return true;
  }
  // The hierarchy the rules are built on has its own reverse rows (S⁻ ⊑ R).
  return role_hierarchy && edge_role.v < role_hierarchy->role_count() &&
         role_hierarchy->is_reverse_sub_role(edge_role, wanted);
}

const tsl::robin_map<ClassId, std::vector<ConceptId>>& TableauContext::told_closure() const {
  if (!told_closure_) build_told_closure();
  return *told_closure_;
}

void TableauContext::build_told_closure() const {
  invariant(!told_closure_building_, "reentrant init");
  told_closure_building_ = true;
  tsl::robin_map<ClassId, std::vector<ConceptId>> groups;
  if (absorbed) {
    for (const UnfoldPair& pair : absorbed->unfold_pairs) {
      if (std::holds_alternative<Atomic>(pool->get(pair.consequence))) groups[pair.cls].push_back(pair.consequence);
    }
  }
  tsl::robin_map<ClassId, std::vector<ConceptId>> closure;
  for (const auto& [cls, direct] : groups) {
    std::vector<ConceptId> stack(direct.rbegin(), direct.rend());
    std::vector<ConceptId> visited;
    while (!stack.empty()) {
      const ConceptId c = stack.back();
      stack.pop_back();
      if (std::find(visited.begin(), visited.end(), c) != visited.end()) continue;
      visited.push_back(c);
      if (const Atomic* a = std::get_if<Atomic>(&pool->get(c))) {
        if (auto g = groups.find(a->cls); g != groups.end()) {
          for (ConceptId next : g->second) {
            if (std::find(visited.begin(), visited.end(), next) == visited.end()) stack.push_back(next);
          }
        }
      }
    }
    std::sort(visited.begin(), visited.end());
    closure.emplace(cls, std::move(visited));
  }
  told_closure_ = std::move(closure);
  told_closure_building_ = false;
}

bool TableauContext::has_label_or_told(NodeId id, ConceptId concept_id) const {
  const GraphNode& n = node(id);
  if (n.has_label(concept_id) || std::holds_alternative<Top>(pool->get(concept_id))) return true;
  const auto& closure = told_closure();
  for (ConceptId label : n.labels) {
    if (const Atomic* a = std::get_if<Atomic>(&pool->get(label))) {
      if (auto it = closure.find(a->cls); it != closure.end()) {
        if (std::binary_search(it->second.begin(), it->second.end(), concept_id)) return true;
      }
    }
  }
  return false;
}

bool TableauContext::generates_successors(ConceptId concept_id) const {
  if (auto it = generates_successors_.find(concept_id); it != generates_successors_.end()) return it->second;
  // Explicit stack: unfoldings may chain and cycle.
  std::vector<ConceptId> stack{concept_id};
  tsl::robin_set<ConceptId> seen{concept_id};
  auto push = [&](ConceptId c) {
    if (seen.insert(c).second) stack.push_back(c);
  };
  bool generates = false;
  while (!stack.empty() && !generates) {
    const ConceptId c = stack.back();
    stack.pop_back();
    const Concept& k = pool->get(c);
    if (std::holds_alternative<Some>(k)) {
      generates = true;
    } else if (const Min* m = std::get_if<Min>(&k)) {
      generates = m->n > 0;
    } else if (const And* a = std::get_if<And>(&k)) {
      for (ConceptId member : a->members) push(member);
    } else if (const Atomic* atom = std::get_if<Atomic>(&k); atom && absorbed) {
      absorbed->for_each_consequent(atom->cls, push);
    }
  }
  generates_successors_.emplace(concept_id, generates);
  return generates;
}

bool pending_nominal_disjunction(const ConceptPool& pool, ConceptId concept_id, std::span<const ConceptId> labels) {
  const Or* u = std::get_if<Or>(&pool.get(concept_id));
  if (!u) return false;
  bool nominal = false;
  for (ConceptId m : u->members) {
    if (std::binary_search(labels.begin(), labels.end(), m)) return false;
    nominal = nominal || std::holds_alternative<Nominal>(pool.get(m));
  }
  return nominal;
}

bool TableauContext::has_pending_nominal_disjunction(NodeId id) const {
  const GraphNode& n = node(id);
  for (ConceptId label : n.labels) {
    if (pending_nominal_disjunction(*pool, label, n.labels)) return true;
  }
  if (!absorbed) return false;
  for (ConceptId label : n.labels) {
    const Atomic* a = std::get_if<Atomic>(&pool->get(label));
    if (!a) continue;
    bool pending = false;
    absorbed->for_each_consequent(a->cls, [&](ConceptId c) {
      pending = pending || pending_nominal_disjunction(*pool, c, n.labels);
    });
    if (pending) return true;
  }
  return false;
}

const DKeyValue* TableauContext::data_range_of(ConceptId concept_id) const {
  if (data_ranges.empty()) return nullptr;
  const Atomic* a = std::get_if<Atomic>(&pool->get(concept_id));
  if (!a) return nullptr;
  auto it = data_ranges.find(a->cls);
  return it == data_ranges.end() ? nullptr : &it->second;
}

}  // namespace kelmon::completion
