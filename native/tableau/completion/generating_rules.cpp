// The rules that create successors: existential and at-least restrictions.
#include <algorithm>
#include <cstdint>
#include <mutex>

#include "common/switches.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {
namespace {

// A disjunction of x's label none of whose disjuncts is in, or a global one
// not yet added.
bool open_disjunction(const TableauContext& ctx, NodeId x) {
  const GraphNode& n = ctx.node(x);
  auto open = [&](ConceptId label) {
    const Or* u = std::get_if<Or>(&ctx.concept_of(label));
    return u && std::none_of(u->members.begin(), u->members.end(), [&](ConceptId m) { return n.has_label(m); });
  };
  if (std::any_of(n.labels.begin(), n.labels.end(), open)) return true;
  if (!ctx.absorbed) return false;
  const auto& globals = ctx.absorbed->global_disjunctions;
  return std::any_of(globals.begin(), globals.end(), [&](ConceptId d) { return !n.has_label(d) && open(d); });
}

bool held_back(const TableauContext& ctx, NodeId x) {
  if (ctx.is_blocked(x)) return true;
  // Successors wait until x's choices are made: a successor grown first is
  // grown under labels its parent may still gain, and equal-label blocking
  // only holds once they have settled.
  if (open_disjunction(ctx, x)) return true;
  return switch_flag(SwitchId::NominalFirst) && ctx.has_pending_nominal_disjunction(x);
}

NodeId create_successor(TableauContext& ctx, NodeId x, Role r, ConceptId filler, const DepSet& deps) {
  const NodeId y = ctx.add_trailed_node(x, r);
  if (r.inverse == 0) ctx.add_edge(x, r.id, y, deps);
  else ctx.add_edge(y, r.id, x, deps);
  ctx.add_label(y, filler, deps);
  return y;
}

bool neighbour_has(const TableauContext& ctx, NodeId x, Role r, ConceptId c) {
  const GraphNode& n = ctx.node(x);
  // Any R-neighbour witnesses ∃R.⊤, labelled ⊤ or not.
  if (std::holds_alternative<Top>(ctx.concept_of(c))) {
    for (const Edge& e : n.edges)
      if (ctx.role_matches(0, e.role, r.inverse, r.id)) return true;
    for (const Edge& e : n.in_edges)
      if (ctx.role_matches(1, e.role, r.inverse, r.id)) return true;
    return false;
  }
  for (const Edge& e : n.edges) {
    if (ctx.role_matches(0, e.role, r.inverse, r.id) && ctx.node(e.node).has_label(c)) return true;
  }
  for (const Edge& e : n.in_edges) {
    if (ctx.role_matches(1, e.role, r.inverse, r.id) && ctx.node(e.node).has_label(c)) return true;
  }
  return false;
}

// What makes y an R-neighbour of x with the filler: the matching edges and the
// filler label, or every label of y when the filler is only told through another.
DepSet witness_deps(const TableauContext& ctx, NodeId x, Role r, NodeId y, ConceptId filler) {
  DepSet d;
  const GraphNode& n = ctx.node(x);
  for (std::size_t k = 0; k < n.edges.size(); ++k) {
    if (n.edges[k].node == y && ctx.role_matches(0, n.edges[k].role, r.inverse, r.id) && k < n.edge_deps.size())
      d.join(n.edge_deps[k]);
  }
  for (std::size_t k = 0; k < n.in_edges.size(); ++k) {
    if (n.in_edges[k].node == y && ctx.role_matches(1, n.in_edges[k].role, r.inverse, r.id) &&
        k < n.in_edge_deps.size())
      d.join(n.in_edge_deps[k]);
  }
  const GraphNode& ny = ctx.node(y);
  if (auto pos = ny.label_position(filler)) {
    d.join(ny.label_deps[*pos]);
  } else {
    for (const DepSet& l : ny.label_deps) d.join(l);
  }
  return d;
}

struct Entry {
  Role role;
  std::uint32_t n;
  ConceptId filler;
  DepSet deps;
};

// The largest set of witnesses that are pairwise marked distinct (exact
// search, stopping once `want` are found); earlier witnesses are preferred.
class DistinctCliqueSearch {
 public:
  DistinctCliqueSearch(const TableauContext& ctx, const std::vector<NodeId>& witnesses, std::size_t want)
      : witnesses_(witnesses), want_(want), adjacent_(witnesses.size(), std::vector<bool>(witnesses.size())) {
    for (std::size_t i = 0; i < witnesses.size(); ++i) {
      for (std::size_t j = i + 1; j < witnesses.size(); ++j)
        adjacent_[i][j] = adjacent_[j][i] = ctx.node(witnesses[i]).is_distinct_from(witnesses[j]);
    }
  }

  std::vector<NodeId> run() {
    std::vector<std::size_t> current;
    extend(current, 0);
    std::vector<NodeId> out;
    for (std::size_t i : best_) out.push_back(witnesses_[i]);
    return out;
  }

 private:
  void extend(std::vector<std::size_t>& current, std::size_t from) {
    if (current.size() > best_.size()) best_ = current;
    if (best_.size() >= want_) return;
    if (current.size() + (witnesses_.size() - from) <= best_.size()) return;
    for (std::size_t i = from; i < witnesses_.size(); ++i) {
      if (!std::all_of(current.begin(), current.end(), [&](std::size_t j) { return adjacent_[i][j]; })) continue;
      current.push_back(i);
      extend(current, i + 1);
      current.pop_back();
      if (best_.size() >= want_) return;
    }
  }

  const std::vector<NodeId>& witnesses_;
  std::size_t want_;
  std::vector<std::vector<bool>> adjacent_;
  std::vector<std::size_t> best_;
};

}  // namespace

bool apply_some_rule(TableauContext& ctx, NodeId x) {
  if (held_back(ctx, x)) return false;
  std::vector<Entry> entries;
  {
    const GraphNode& n = ctx.node(x);
    for (std::size_t i = 0; i < n.labels.size(); ++i) {
      if (const Some* s = std::get_if<Some>(&ctx.concept_of(n.labels[i])))
        entries.push_back({s->role, 1, s->filler, n.label_deps[i]});
    }
  }
  bool changed = false;
  for (const Entry& e : entries) {
    if (neighbour_has(ctx, x, e.role, e.filler)) continue;
    create_successor(ctx, x, e.role, e.filler, e.deps);
    changed = true;
  }
  return changed;
}

bool apply_min_rule(TableauContext& ctx, NodeId x) {
  if (held_back(ctx, x)) return false;
  std::vector<Entry> entries;
  {
    const GraphNode& n = ctx.node(x);
    for (std::size_t i = 0; i < n.labels.size(); ++i) {
      const Min* m = std::get_if<Min>(&ctx.concept_of(n.labels[i]));
      if (m && !ctx.data_range_of(m->filler)) entries.push_back({m->role, m->n, m->filler, n.label_deps[i]});
    }
  }
  bool changed = false;
  for (const Entry& e : entries) {
    if (e.n == 0) continue;
    std::vector<NodeId> witnesses;
    auto consider = [&](NodeId y) {
      if (std::find(witnesses.begin(), witnesses.end(), y) == witnesses.end() && ctx.has_label_or_told(y, e.filler))
        witnesses.push_back(y);
    };
    {
      const GraphNode& n = ctx.node(x);
      for (const Edge& edge : n.edges) {
        if (ctx.role_matches(0, edge.role, e.role.inverse, e.role.id)) consider(edge.node);
      }
      for (const Edge& edge : n.in_edges) {
        if (ctx.role_matches(1, edge.role, e.role.inverse, e.role.id)) consider(edge.node);
      }
    }
    // Marks between nodes that existed before would assert distinctness the
    // label does not imply; only fresh successors are marked.
    const std::vector<NodeId> kept = DistinctCliqueSearch(ctx, witnesses, e.n).run();
    if (kept.size() >= e.n) continue;
    // The marks rest on the label and on what made the kept witnesses count:
    // without a kept witness, the rule would have made one more fresh node.
    DepSet marks = e.deps;
    for (std::size_t i = 0; i < kept.size(); ++i) {
      marks.join(witness_deps(ctx, x, e.role, kept[i], e.filler));
      for (std::size_t j = 0; j < i; ++j) marks.join(ctx.node(kept[i]).distinct_deps_with(kept[j]));
    }
    std::vector<NodeId> fresh;
    for (std::size_t i = kept.size(); i < e.n; ++i) fresh.push_back(create_successor(ctx, x, e.role, e.filler, e.deps));
    for (std::size_t i = 0; i < fresh.size(); ++i) {
      for (NodeId w : kept) ctx.mark_distinct(w, fresh[i], marks);
      for (std::size_t j = 0; j < i; ++j) ctx.mark_distinct(fresh[j], fresh[i], marks);
    }
    changed = true;
  }
  return changed;
}

}  // namespace kelmon::completion
