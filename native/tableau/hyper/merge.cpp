#include <algorithm>

#include "common/invariant.h"
#include "tableau/hyper/hyper.h"
#include "tableau/hyper/internal/role_edge_walk.h"

namespace kelmon {

namespace {

bool is_subset(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
  return std::includes(b.begin(), b.end(), a.begin(), a.end());
}

std::uint64_t fnv1a_u32(std::uint32_t v) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (int i = 0; i < 4; ++i) {
    h ^= (v >> (8 * i)) & 0xFF;
    h *= 0x100000001b3ULL;
  }
  return h;
}

}  // namespace

bool HyperEngine::merge(std::uint32_t x, std::uint32_t y, const LevelMask& mask) {
  const std::uint32_t e = find(x), f = find(y);
  if (e == f) return true;
  if (is_distinct(e, f)) {
    // The two classes were made apart by an at-least expansion: the clash
    // rests on that expansion (the new nodes' own deps), on the merge and on
    // everything the two classes stand on.
    clash_deps = mask | nodes[e].node_deps | nodes[f].node_deps | distinct_deps(e, f);
    if (shadow_probe) {
      LevelMask shadow = mask;
      for (std::uint32_t n : {e, f}) shadow |= nodes[n].shadow_node_deps | nodes[n].shadow_lost_deps;
      record_clash(clash_deps, shadow, e);
    }
    return false;
  }
  set_parent(f, e);
  ++graph_version;
  if (!mask.empty()) {
    HyperNode& en = nodes.mut(e);
    en.node_deps |= mask;
    if (shadow_probe) {
      en.shadow_node_deps |= mask;
      en.shadow_lost_deps |= mask;
    }
  }
  const std::vector<std::uint32_t> labels = nodes[f].labels;
  const std::vector<LevelMask> label_deps = nodes[f].label_deps;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    if (add_label(e, labels[i], label_deps[i] | mask) || mask.empty()) continue;
    HyperNode& en = nodes.mut(e);
    const auto pos = static_cast<std::size_t>(std::lower_bound(en.labels.begin(), en.labels.end(), labels[i]) -
                                              en.labels.begin());
    en.label_deps[pos] |= mask;
    if (pos < en.shadow_label_deps.size()) en.shadow_label_deps[pos] |= mask;
  }
  const std::vector<HyperEdge> outs = nodes[f].out_edges;
  for (const HyperEdge& edge : outs) {
    // An edge the survivor already has (to the same class) was handled at
    // the survivor already; a copy would only be matched again by every
    // clause, and functional merges of GALEN's part-whole chains make many.
    const std::uint32_t far = find(edge.node);
    const auto& e_out = nodes[e].out_edges;
    if (const EdgeRoleIndex::Group* same = nodes[e].out_index.group_of(e_out, edge.dir, edge.role);
        same != nullptr && std::any_of(same->positions.begin(), same->positions.end(),
                                       [&](std::uint32_t p) { return find(e_out[p].node) == far; }))
      continue;
    nodes.mut(e).out_edges.push_back(edge);
    // The far end's representative: a merged-away end would keep the edge
    // from the restrictions that count the representative's in-edges.
    nodes.mut(find(edge.node)).in_edges.push_back({edge.dir, edge.role, e});
    queue.push_back(WorkItem::edge(edge.dir, edge.role, e, edge.node));
  }
  // The survivor takes the in-edges too: number restrictions count them,
  // a loop that the merge closes at the survivor included.
  {
    const std::vector<HyperEdge> ins = nodes[f].in_edges;
    for (const HyperEdge& edge : ins) {
      const std::uint32_t s = find(edge.node);
      const HyperEdge moved{edge.dir, edge.role, s};
      if (nodes[e].in_index.position_of(nodes[e].in_edges, moved) < 0) nodes.mut(e).in_edges.push_back(moved);
      queue.push_back(WorkItem::edge(edge.dir, edge.role, s, e));
    }
  }
  std::vector<CardRecord> functional;
  const std::vector<CardRecord> at_most = nodes[f].at_most;
  for (const CardRecord& r : at_most) {
    if (!has_record(nodes[e].at_most, r)) nodes.mut(e).at_most.push_back(r);
    if (r.n == 1) functional.push_back(r);
  }
  for (const CardRecord& r : functional)
    if (!enforce_functional(e, r)) return false;
  if (!at_most.empty()) {
    HyperNode& en = nodes.mut(e);
    en.merged_card = true;
    en.card_deps |= nodes[f].card_deps;
    if (shadow_probe) {
      const LevelMask add = mask | nodes[f].shadow_card_deps;
      en.shadow_card_deps |= add;
      en.shadow_lost_deps |= add;
    }
  }
  if (nodes[f].imprecise) {
    HyperNode& en = nodes.mut(e);
    en.imprecise = true;
    if (shadow_probe) en.shadow_lost_deps |= nodes[f].shadow_lost_deps;
  }
  const std::vector<CardRecord> at_least = nodes[f].at_least;
  for (const CardRecord& r : at_least)
    if (!has_record(nodes[e].at_least, r)) nodes.mut(e).at_least.push_back(r);
  return true;
}

bool HyperEngine::is_distinct(std::uint32_t x, std::uint32_t y) const {
  const std::uint32_t e = find(x), f = find(y);
  if (e == f) return false;
  for (const auto& [p, q] : distinct_pairs) {
    const std::uint32_t a = find(p), b = find(q);
    if ((a == e && b == f) || (a == f && b == e)) return true;
  }
  return false;
}

LevelMask HyperEngine::distinct_deps(std::uint32_t x, std::uint32_t y) const {
  const std::uint32_t e = find(x), f = find(y);
  LevelMask m;
  for (const auto& [p, q] : distinct_pairs) {
    const std::uint32_t a = find(p), b = find(q);
    if ((a == e && b == f) || (a == f && b == e)) m |= nodes[p].node_deps | nodes[q].node_deps;
  }
  return m;
}

bool HyperEngine::labels_disjoint(std::uint32_t x, std::uint32_t y) const {
  if (disjoint->empty() && delta_disjoint.empty()) return false;
  const auto& la = nodes[find(x)].labels;
  const auto& lb = nodes[find(y)].labels;
  for (std::uint32_t a : la)
    for (std::uint32_t b : lb) {
      if (a == b) continue;
      if (disjoint->contains(a, b)) return true;
      const std::pair<std::uint32_t, std::uint32_t> p{std::min(a, b), std::max(a, b)};
      if (std::find(delta_disjoint.begin(), delta_disjoint.end(), p) != delta_disjoint.end()) return true;
    }
  return false;
}

std::vector<std::uint32_t> HyperEngine::successors(std::uint32_t x, std::uint32_t dir, std::uint32_t role,
                                                   std::uint32_t qualified, std::uint32_t concept_) const {
  std::vector<std::uint32_t> out;
  // A neighbour that reached x over an inverse edge counts as much as one x reached.
  hyper_internal::for_each_role_neighbour(*this, x, dir, role, [&](std::uint32_t raw) {
    const std::uint32_t s = find(raw);
    if (qualified == 1 && !nodes[s].has_label(concept_)) return true;
    if (std::find(out.begin(), out.end(), s) == out.end()) out.push_back(s);
    return true;
  });
  return out;
}

bool HyperEngine::enforce_functional(std::uint32_t x, const CardRecord& record) {
  if (!inverse_func_merge) return true;
  const std::uint32_t r = find(x);
  const std::vector<std::uint32_t> s = successors(r, record.dir, record.role, record.qualified, record.concept_);
  if (s.size() <= 1) return true;
  const LevelMask m = card_clash_deps(r, s);
  const std::uint32_t smallest = *std::min_element(s.begin(), s.end());
  for (std::uint32_t t : s)
    if (t != smallest && !merge(smallest, t, m)) return false;
  return true;
}

std::vector<CardRecord> HyperEngine::edge_functional_restrictions(std::uint32_t x, std::uint32_t dir,
                                                                  std::uint32_t role) const {
  std::vector<CardRecord> out;
  for (const CardRecord& r : nodes[find(x)].at_most) {
    if (r.n != 1) continue;
    bool falls_under = false;
    if (!role_hierarchy) {
      falls_under = r.role == role && r.dir == dir;
    } else {
      falls_under = r.dir == dir ? role_hierarchy->is_sub_role(RoleId{role}, RoleId{r.role})
                                 : role_hierarchy->is_reverse_sub_role(RoleId{role}, RoleId{r.role});
    }
    if (falls_under) out.push_back(r);
  }
  return out;
}

bool HyperEngine::names_individual(std::uint32_t x) const {
  const HyperNode& n = nodes[x];
  if (n.is_tree == 0) return true;
  if (!nominal_range.enabled) return false;
  const std::uint64_t end = std::uint64_t{nominal_range.first} + nominal_range.count;
  auto it = std::lower_bound(n.labels.begin(), n.labels.end(), nominal_range.first);
  return it != n.labels.end() && *it < end;
}

bool HyperEngine::individual_counts_tree_nodes() const {
  for (std::uint64_t i = 0; i < nodes.size(); ++i) {
    const auto x = static_cast<std::uint32_t>(i);
    if (parent_of[x] != x || nodes[x].at_most.empty() || !names_individual(x)) continue;
    for (const CardRecord& rec : nodes[x].at_most)
      for (std::uint32_t s : successors(x, rec.dir, rec.role, rec.qualified, rec.concept_))
        if (!names_individual(s) && find(nodes[s].parent) != x) return true;
  }
  return false;
}

// One pass in id order: a tree node below a blocked node is blocked with
// it; otherwise it is blocked by an older open node over the same parent
// edge whose labels and parent's labels equal its own. A node naming an
// individual is never blocked: the model has one of it, not a copy per
// blocked node. For the same reason nothing is blocked while an individual's
// at-most restriction counts a tree node other than its own children: the
// copies a blocked node stands for could hold more such nodes, neighbours the
// restriction never counted.
void HyperEngine::refresh_block_status() {
  if (block_status_frozen || (block_status_version == graph_version && block_status.size() == nodes.size())) return;
  block_status.assign(nodes.size(), 0);
  block_status_version = graph_version;
  if (individual_counts_tree_nodes()) return;
  for (auto it = open_by_key.begin(); it != open_by_key.end(); ++it) it.value().clear();
  auto key_of = [&](const HyperNode& n) {
    std::uint64_t h = (std::uint64_t{n.parent_dir} << 32) | n.parent_role;
    for (std::uint32_t l : n.labels) h = h * 0x9e3779b97f4a7c15ULL + l + 1;
    h = h * 0x9e3779b97f4a7c15ULL + 0xFFFFFFFFu;
    for (std::uint32_t l : nodes[find(n.parent)].labels) h = h * 0x9e3779b97f4a7c15ULL + l + 1;
    return h;
  };
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    const HyperNode& n = nodes[i];
    if (n.is_tree == 0 || parent_of[i] != i || names_individual(static_cast<std::uint32_t>(i))) continue;
    if (block_status[n.parent] != 0 || block_status[find(n.parent)] != 0) {
      block_status[i] = 2;
      continue;
    }
    auto& same = open_by_key[key_of(n)];
    const auto& parent_labels = nodes[find(n.parent)].labels;
    for (std::uint32_t c : same) {
      const HyperNode& cn = nodes[c];
      ++stats_.blocking_comparisons;
      if (cn.parent_dir == n.parent_dir && cn.parent_role == n.parent_role && cn.labels == n.labels &&
          nodes[find(cn.parent)].labels == parent_labels) {
        block_status[i] = 1;
        break;
      }
    }
    if (block_status[i] == 0) same.push_back(static_cast<std::uint32_t>(i));
  }
}

bool HyperEngine::indirectly_blocked(std::uint32_t x) {
  refresh_block_status();
  return x < block_status.size() && block_status[x] == 2;
}

bool HyperEngine::is_blocked(std::uint32_t x) {
  ++stats_.blocking_tests;
  if (x == 0) return false;
  const HyperNode& xn = nodes[x];
  bool blocked = false;
  if (inverse_roles) {
    if (xn.is_tree == 0) return false;
    if (double_blocking) {
      invariant(xn.parent_dir != kNoParentDir, "non-root has parent_role");
      ++stats_.double_blocking_tests;
    }
    refresh_block_status();
    const std::uint32_t r = find(x);
    blocked = r < block_status.size() && block_status[r] != 0;
  } else if (double_blocking) {
    if (xn.is_tree == 0) return false;
    invariant(xn.parent_dir != kNoParentDir, "non-root has parent_role");
    ++stats_.double_blocking_tests;
    if (!parent_role_buckets || parent_role_buckets->empty()) return false;
    auto it = parent_role_buckets->find((std::uint64_t{xn.parent_dir} << 32) | xn.parent_role);
    if (it == parent_role_buckets->end() || it->second.empty()) return false;
    for (std::uint32_t c : it->second) {
      const HyperNode& cn = nodes[c];
      if (cn.id >= xn.id || cn.is_tree == 0) continue;
      ++stats_.blocking_comparisons;
      if (is_subset(xn.labels, cn.labels) && is_subset(nodes[xn.parent].labels, nodes[cn.parent].labels)) {
        blocked = true;
        break;
      }
    }
  } else {
    for (std::uint32_t c = 0; c < x; ++c) {
      ++stats_.blocking_comparisons;
      if (is_subset(xn.labels, nodes[c].labels)) {
        blocked = true;
        break;
      }
    }
  }
  if (blocked) ++stats_.blocked;
  return blocked;
}

LevelMask HyperEngine::card_clash_deps(std::uint32_t x, const std::vector<std::uint32_t>& s) const {
  if (!precise_card_deps) return LevelMask::overflow_mask();
  const std::uint32_t r = find(x);
  if (nodes[r].merged_card) return LevelMask::overflow_mask();
  // A successor need not be r's own child: every edge's deps sit in the
  // node_deps of its ends (merges carry the merged node's deps along), and
  // those of r and of every successor are in the mask.
  // Successors kept apart by an at-least expansion count as distinct
  // because of it: its deps join the mask.
  LevelMask m = local_card_mask(r, s);
  for (std::size_t i = 0; i < s.size(); ++i)
    for (std::size_t j = i + 1; j < s.size(); ++j)
      if (is_distinct(s[i], s[j]) && !labels_disjoint(s[i], s[j])) m |= distinct_deps(s[i], s[j]);
  return m;
}

LevelMask HyperEngine::local_card_mask(std::uint32_t r, const std::vector<std::uint32_t>& s) const {
  LevelMask m = nodes[r].card_deps;
  auto add_node = [&](std::uint32_t n) {
    m |= nodes[n].node_deps;
    for (const LevelMask& l : nodes[n].label_deps) m |= l;
  };
  add_node(r);
  for (std::uint32_t t : s) add_node(find(t));
  return m;
}

LevelMask HyperEngine::shadow_card_deps(std::uint32_t x, const std::vector<std::uint32_t>& s) const {
  const std::uint32_t r = find(x);
  LevelMask m = nodes[r].shadow_card_deps | nodes[r].shadow_lost_deps;
  auto add_node = [&](std::uint32_t n) {
    m |= nodes[n].shadow_node_deps | nodes[n].shadow_lost_deps;
    for (const LevelMask& l : nodes[n].shadow_label_deps) m |= l;
  };
  add_node(r);
  for (std::uint32_t t : s) add_node(find(t));
  return m;
}

void HyperEngine::record_clash(const LevelMask& clash, const LevelMask& shadow, std::uint32_t node) {
  const std::uint32_t r = find(node);
  std::uint64_t hash = 0;
  for (std::uint32_t c : nodes[r].labels) hash ^= fnv1a_u32(c);
  stats_.clash_records.push_back({LevelSummary::of(clash), LevelSummary::of(shadow), hash, level});
}

}  // namespace kelmon
