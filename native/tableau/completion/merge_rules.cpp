// The rules that identify nodes: at-most restrictions and nominals.
#include <algorithm>

#include "common/switches.h"
#include "tableau/completion/internal/pending.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {
namespace {

struct AtMost {
  Role role;
  std::uint32_t n;
  ConceptId filler;
  DepSet deps;
  ConceptId label;
};

std::vector<AtMost> at_most_labels(const TableauContext& ctx, NodeId x) {
  std::vector<AtMost> out;
  const GraphNode& n = ctx.node(x);
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Max* m = std::get_if<Max>(&ctx.concept_of(n.labels[i]));
    if (m && !ctx.data_range_of(m->filler)) out.push_back({m->role, m->n, m->filler, n.label_deps[i], n.labels[i]});
  }
  return out;
}

std::vector<NodeId> candidates(const TableauContext& ctx, NodeId x, const AtMost& e) {
  std::vector<NodeId> out;
  // Every neighbour is a ⊤-neighbour, labelled so or not.
  const bool top = std::holds_alternative<Top>(ctx.concept_of(e.filler));
  auto consider = [&](NodeId y) {
    if ((top || ctx.node(y).has_label(e.filler)) && std::find(out.begin(), out.end(), y) == out.end())
      out.push_back(y);
  };
  const GraphNode& n = ctx.node(x);
  for (const Edge& edge : n.edges) {
    if (ctx.role_matches(0, edge.role, e.role.inverse, e.role.id)) consider(edge.node);
  }
  for (const Edge& edge : n.in_edges) {
    if (ctx.role_matches(1, edge.role, e.role.inverse, e.role.id)) consider(edge.node);
  }
  return out;
}

// The edges from x to y and y's filler label: what makes y a neighbour the label counts.
void join_neighbour_deps(const TableauContext& ctx, NodeId x, const AtMost& e, NodeId y, DepSet& d) {
  const GraphNode& n = ctx.node(x);
  for (std::size_t k = 0; k < n.edges.size(); ++k) {
    if (n.edges[k].node == y && ctx.role_matches(0, n.edges[k].role, e.role.inverse, e.role.id)) {
      d.join(n.edge_deps[k]);
      break;
    }
  }
  for (std::size_t k = 0; k < n.in_edges.size(); ++k) {
    if (n.in_edges[k].node == y && ctx.role_matches(1, n.in_edges[k].role, e.role.inverse, e.role.id)) {
      d.join(n.in_edge_deps[k]);
      break;
    }
  }
  const GraphNode& ny = ctx.node(y);
  if (auto pos = ny.label_position(e.filler)) d.join(ny.label_deps[*pos]);
}

// The label and both nodes' neighbour deps.
DepSet merge_deps(const TableauContext& ctx, NodeId x, const AtMost& e, NodeId yi, NodeId yj) {
  DepSet d = e.deps;
  for (NodeId y : {yi, yj}) join_neighbour_deps(ctx, x, e, y, d);
  return d;
}

struct Pair {
  NodeId yi;
  NodeId yj;
};

// The pair with the node that survives the merge first: x's predecessor, else
// a node outside the tree (an individual's), else the earlier of the two.
// Merging a predecessor into x's successor would cut x loose from the tree:
// a node without a parent is never blocked, and the successor, now carrying
// the predecessor's restrictions, grows the same shape again below it.
Pair oriented(const TableauContext& ctx, NodeId x, NodeId a, NodeId b) {
  const std::optional<NodeId>& up = ctx.node(x).parent;
  if (up == b) return {b, a};
  if (up == a) return {a, b};
  const bool a_root = !ctx.node(a).parent, b_root = !ctx.node(b).parent;
  if (b_root && !a_root) return {b, a};
  return {a, b};
}

std::vector<Pair> mergeable_pairs(const TableauContext& ctx, NodeId x, const std::vector<NodeId>& ys) {
  std::vector<Pair> out;
  for (std::size_t i = 0; i < ys.size(); ++i) {
    for (std::size_t j = i + 1; j < ys.size(); ++j) {
      if (!ctx.node(ys[i]).is_distinct_from(ys[j])) out.push_back(oriented(ctx, x, ys[i], ys[j]));
    }
  }
  return out;
}

// With room for two or more neighbours and more than one way to merge, which
// pair to merge is a choice: the search makes it, not this rule.
bool needs_choice(const AtMost& e, std::size_t mergeable) { return e.n >= 2 && mergeable >= 2; }

}  // namespace

bool apply_max_rule(TableauContext& ctx, NodeId x) {
  if (ctx.is_blocked(x)) return false;
  bool changed = false;
  for (const AtMost& e : at_most_labels(ctx, x)) {
    const std::vector<NodeId> ys = candidates(ctx, x, e);
    if (ys.size() <= e.n) continue;
    const std::vector<Pair> pairs = mergeable_pairs(ctx, x, ys);
    if (needs_choice(e, pairs.size())) continue;
    const bool trial = switch_flag(SwitchId::MaxTrialMerge);
    bool merged = false;
    // Why no merge is possible: the merge sets and clashes of the trial merges,
    // so a clash below can jump past choices it does not rest on, and what
    // each distinct mark holding a pair apart rests on.
    // Every neighbour counts toward the excess, also when no pair can merge
    // (an at-most-0 label, or all pairs held apart).
    DepSet why = e.deps;
    for (NodeId y : ys) join_neighbour_deps(ctx, x, e, y, why);
    for (std::size_t i = 0; i < ys.size(); ++i) {
      for (std::size_t j = i + 1; j < ys.size(); ++j) {
        if (ctx.node(ys[i]).is_distinct_from(ys[j])) why.join(ctx.node(ys[i]).distinct_deps_with(ys[j]));
      }
    }
    for (const Pair& p : pairs) {
      const DepSet d = merge_deps(ctx, x, e, p.yi, p.yj);
      why.join(d);
      const std::uint64_t cp = trial ? ctx.checkpoint() : 0;
      if (!ctx.merge_nodes(p.yj, p.yi, d)) {
        if (trial) ctx.rollback(cp);
        why.join(ctx.node(p.yj).distinct_deps_with(p.yi));
        continue;
      }
      if (trial) {
        if (auto clash = ctx.clash(p.yi)) {
          ctx.rollback(cp);
          why.join(*clash);
          continue;
        }
      }
      merged = true;
      break;
    }
    if (merged) {
      changed = true;
      continue;
    }
    changed |= internal::add_bottom(ctx, x, why);
  }
  return changed;
}

std::optional<MergeChoice> find_merge_choice(const TableauContext& ctx) {
  for (NodeId x = 0; x < ctx.graph.size(); ++x) {
    if (ctx.node(x).merged_into || ctx.is_blocked(x)) continue;
    for (const AtMost& e : at_most_labels(ctx, x)) {
      const std::vector<NodeId> ys = candidates(ctx, x, e);
      if (ys.size() <= e.n) continue;
      const std::vector<Pair> pairs = mergeable_pairs(ctx, x, ys);
      if (!needs_choice(e, pairs.size())) continue;
      MergeChoice choice{x, e.label, {}};
      for (const Pair& p : pairs) choice.options.push_back({p.yj, p.yi, merge_deps(ctx, x, e, p.yi, p.yj)});
      return choice;
    }
  }
  return std::nullopt;
}

bool apply_nominal_merge_rule(TableauContext& ctx, NodeId x) {
  struct NominalLabel {
    IndividualId o;
    ConceptId label;
    DepSet deps;
  };
  std::vector<NominalLabel> nominals;
  {
    const GraphNode& n = ctx.node(x);
    for (std::size_t i = 0; i < n.labels.size(); ++i) {
      if (const Nominal* o = std::get_if<Nominal>(&ctx.concept_of(n.labels[i])))
        nominals.push_back({o->individual, n.labels[i], n.label_deps[i]});
    }
  }
  if (nominals.empty()) return false;
  NodeId a = ctx.representative(x);
  bool changed = false;
  for (const auto& [o, label, d] : nominals) {
    const auto it = ctx.graph.nominal_nodes.find(o.v);
    if (it == ctx.graph.nominal_nodes.end()) {
      ctx.set_nominal_node(o.v, a);
      changed = true;
      continue;
    }
    const NodeId m = ctx.representative(it->second);
    if (m == a) continue;
    DepSet deps = d;
    {
      const GraphNode& nm = ctx.node(m);
      if (auto pos = nm.label_position(label)) deps.join(nm.label_deps[*pos]);
    }
    // A node without a parent (an individual's) survives a merge with a tree
    // node: the other way round it would hang below the tree, be blockable,
    // and its successors would be grown again below it.
    const bool keep_m = ctx.node(a).parent && !ctx.node(m).parent;
    const NodeId from = keep_m ? a : m;
    const NodeId into = keep_m ? m : a;
    if (!ctx.merge_nodes(from, into, deps))
      internal::add_bottom(ctx, a, DepSet::union_of(deps, ctx.node(a).distinct_deps_with(m)));
    ctx.set_nominal_node(o.v, into);
    a = into;
    changed = true;
  }
  return changed;
}

}  // namespace kelmon::completion
