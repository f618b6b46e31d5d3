// Rules that act along a node's edges: universal restrictions, absorbed
// universal records, role chains, local reflexivity and role disjointness.
#include <algorithm>
#include <map>

#include "tableau/completion/internal/pending.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {

using internal::PendingLabel;

std::vector<NeighbourEntry> neighbours_over_role(const TableauContext& ctx, NodeId x, Role r) {
  std::vector<NeighbourEntry> out;
  const GraphNode& n = ctx.node(x);
  for (std::size_t i = 0; i < n.edges.size(); ++i) {
    if (ctx.role_matches(0, n.edges[i].role, r.inverse, r.id)) out.push_back({n.edges[i].node, n.edge_deps[i], 0, n.edges[i].role});
  }
  for (std::size_t i = 0; i < n.in_edges.size(); ++i) {
    if (ctx.role_matches(1, n.in_edges[i].role, r.inverse, r.id))
      out.push_back({n.in_edges[i].node, n.in_edge_deps[i], 1, n.in_edges[i].role});
  }
  return out;
}

bool loop_role_matches(const TableauContext& ctx, const std::vector<RoleId>& loop_roles, Role r) {
  // A loop is an edge in both directions at once.
  for (RoleId l : loop_roles) {
    if (ctx.role_matches(0, l, r.inverse, r.id) || ctx.role_matches(1, l, r.inverse, r.id)) return true;
  }
  return false;
}

bool apply_all_rule(TableauContext& ctx, NodeId x) {
  const GraphNode& n = ctx.node(x);
  std::vector<PendingLabel> pending;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const All* a = std::get_if<All>(&ctx.concept_of(n.labels[i]));
    if (!a) continue;
    for_each_neighbour(ctx, x, a->role, [&](NodeId y, const DepSet& edge_deps) {
      pending.push_back({y, a->filler, DepSet::union_of(n.label_deps[i], edge_deps)});
    });
  }
  return internal::apply_labels(ctx, pending);
}

namespace {

// The unguarded records reached from each edge of x in edge order: through the
// edge role's super-roles in the edge's direction, through the roles its
// inverse lies below in the other.
void collect_global_records(const TableauContext& ctx, NodeId x, std::vector<PendingLabel>& pending) {
  const GlobalRecordIndex& index = ctx.global_record_index();
  if (index.by_role.empty()) return;
  const auto& records = ctx.absorbed->global_all_records;
  const GraphNode& n = ctx.node(x);
  auto take = [&](std::uint32_t flag, RoleId role, NodeId y, const DepSet& deps) {
    auto it = index.by_role.find((std::uint64_t{flag} << 32) | role.v);
    if (it == index.by_role.end()) return;
    for (std::uint32_t i : it->second) pending.push_back({y, records[i].filler, deps});
  };
  auto visit = [&](std::uint32_t direction, const std::vector<Edge>& edges, const std::vector<DepSet>& deps) {
    for (std::size_t k = 0; k < edges.size(); ++k) {
      const RoleId s = edges[k].role;
      if (ctx.role_hierarchy) {
        for (RoleId sup : ctx.role_hierarchy->super_roles(s)) take(direction, sup, edges[k].node, deps[k]);
      } else {
        take(direction, s, edges[k].node, deps[k]);
      }
      if (auto inv = index.reverse_supers.find(s.v); inv != index.reverse_supers.end()) {
        for (RoleId r : inv->second) take(1 - direction, r, edges[k].node, deps[k]);
      }
    }
  };
  visit(0, n.edges, n.edge_deps);
  visit(1, n.in_edges, n.in_edge_deps);
}

}  // namespace

bool apply_absorbed_all_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->all_records.empty()) return false;
  const GraphNode& n = ctx.node(x);
  if (n.edges.empty() && n.in_edges.empty()) return false;
  std::vector<std::pair<ClassId, DepSet>> atoms;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    if (const Atomic* a = std::get_if<Atomic>(&ctx.concept_of(n.labels[i]))) atoms.emplace_back(a->cls, n.label_deps[i]);
  }
  std::vector<PendingLabel> pending;
  auto push_record = [&](const RoleRule& record, const DepSet* guard_deps) {
    for_each_neighbour(ctx, x, record.role, [&](NodeId y, const DepSet& edge_deps) {
      pending.push_back({y, record.filler, guard_deps ? DepSet::union_of(*guard_deps, edge_deps) : edge_deps});
    });
  };
  if (!tbox->all_index.empty() || !tbox->global_all_records.empty()) {
    collect_global_records(ctx, x, pending);
    for (const auto& [cls, deps] : atoms) {
      if (auto it = tbox->all_index.find(cls); it != tbox->all_index.end()) {
        for (const RoleRule& record : it->second) push_record(record, &deps);
      }
    }
  } else {
    for (const RoleRule& record : tbox->all_records) {
      if (record.kind == RoleRule::kUnguarded) {
        push_record(record, nullptr);
        continue;
      }
      auto it = std::find_if(atoms.begin(), atoms.end(), [&](const auto& a) { return a.first == record.key; });
      if (it != atoms.end()) push_record(record, &it->second);
    }
  }
  return internal::apply_labels(ctx, pending);
}

namespace {

bool has_edge_to(const TableauContext& ctx, NodeId from, RoleId role, NodeId to) {
  for (const Edge& e : ctx.node(from).edges) {
    if (e.role == role && ctx.representative(e.node) == to) return true;
  }
  return false;
}

}  // namespace

bool apply_role_chain_rule(TableauContext& ctx, NodeId x) {
  if (ctx.deadline_passed()) return false;
  if (ctx.role_chains.empty() || ctx.is_blocked(x)) return false;
  // Keyed by (implied role, target): different paths to one target give one edge.
  std::map<std::tuple<std::uint32_t, std::uint32_t, NodeId>, DepSet> collected;
  for (const RoleChain& chain : ctx.role_chains) {
    for (const NeighbourEntry& first : neighbours_over_role(ctx, x, chain.first)) {
      if (ctx.deadline_passed()) return false;
      const NodeId y = ctx.representative(first.node);
      for (const NeighbourEntry& second : neighbours_over_role(ctx, y, chain.second)) {
        if (ctx.deadline_passed()) return false;
        const NodeId z = ctx.representative(second.node);
        const Role s = chain.implied;
        const bool exists = s.inverse == 0 ? has_edge_to(ctx, x, s.id, z) : has_edge_to(ctx, z, s.id, x);
        if (exists) continue;
        collected[{s.inverse, s.id.v, z}].join(DepSet::union_of(first.deps, second.deps));
      }
    }
  }
  for (const auto& [key, deps] : collected) {
    const auto [inverse, role, z] = key;
    if (inverse == 0) ctx.add_edge(x, RoleId{role}, z, deps);
    else ctx.add_edge(z, RoleId{role}, x, deps);
  }
  return !collected.empty();
}

bool apply_self_rule(TableauContext& ctx, NodeId x) {
  if (ctx.is_blocked(x)) return false;
  const GraphNode& n = ctx.node(x);
  std::vector<std::pair<Role, DepSet>> selfs, negated;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = ctx.concept_of(n.labels[i]);
    if (const Self* s = std::get_if<Self>(&c)) selfs.emplace_back(s->role, n.label_deps[i]);
    if (const Not* neg = std::get_if<Not>(&c)) {
      if (const Self* s = std::get_if<Self>(&ctx.concept_of(neg->operand))) negated.emplace_back(s->role, n.label_deps[i]);
    }
  }
  if (selfs.empty() && negated.empty()) return false;
  std::vector<RoleId> loops;
  std::vector<DepSet> loop_deps;
  for (std::size_t k = 0; k < n.edges.size(); ++k) {
    if (n.edges[k].node != x) continue;
    loops.push_back(n.edges[k].role);
    loop_deps.push_back(n.edge_deps[k]);
  }
  bool changed = false;
  for (const auto& [role, deps] : negated) {
    // The clash rests on the loops that match as much as on the negation.
    DepSet why = deps;
    bool hit = false;
    for (std::size_t k = 0; k < loops.size(); ++k) {
      if (!loop_role_matches(ctx, {loops[k]}, role)) continue;
      why.join(loop_deps[k]);
      hit = true;
    }
    if (hit) changed |= internal::add_bottom(ctx, x, why);
  }
  for (const auto& [role, deps] : selfs) {
    if (!loop_role_matches(ctx, loops, role)) {
      ctx.add_edge(x, role.id, x, deps);
      changed = true;
    }
  }
  return changed;
}

bool apply_role_disjointness_rule(TableauContext& ctx, NodeId x) {
  if (ctx.is_blocked(x)) return false;
  if (ctx.asymmetric_roles.empty() && ctx.disjoint_role_pairs.empty()) return false;
  const auto bottom = ctx.pool->bottom_id();
  if (!bottom || ctx.node(x).has_label(*bottom)) return false;
  // Every neighbour over a role, through sub-roles and inverses as the other rules see them.
  auto targets = [&](Role r) {
    std::vector<NodeId> out;
    for (const NeighbourEntry& e : neighbours_over_role(ctx, x, r)) out.push_back(e.node);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  };
  auto meet = [](const std::vector<NodeId>& p, const std::vector<NodeId>& q) {
    std::vector<NodeId> common;
    std::set_intersection(p.begin(), p.end(), q.begin(), q.end(), std::back_inserter(common));
    return !common.empty();
  };
  bool violated = false;
  // An asymmetric role met both ways, a loop included.
  for (std::size_t i = 0; !violated && i < ctx.asymmetric_roles.size(); ++i) {
    const RoleId a = ctx.asymmetric_roles[i];
    violated = meet(targets(Role::named(a)), targets(Role::inverse_of(a)));
  }
  for (std::size_t i = 0; !violated && i < ctx.disjoint_role_pairs.size(); ++i) {
    const auto [p, q] = ctx.disjoint_role_pairs[i];
    violated = meet(targets(p), targets(q));
  }
  if (!violated) return false;
  return ctx.add_label(x, *bottom, ctx.branch_deps());
}

}  // namespace kelmon::completion
