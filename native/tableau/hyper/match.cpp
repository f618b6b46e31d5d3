#include <algorithm>

#include "common/invariant.h"
#include "tableau/hyper/hyper.h"
#include "tableau/hyper/internal/role_edge_walk.h"

namespace kelmon {

using hyper_internal::append_role_neighbours;
using hyper_internal::for_each_role_edge;
using hyper_internal::for_each_role_neighbour;

std::optional<std::uint32_t> HyperEngine::node_of(std::uint32_t var, std::uint32_t centre,
                                                  const Binding& binding) const {
  if (var == 0) return centre;
  for (const auto& [v, n] : binding)
    if (v == var) return n;
  return std::nullopt;
}

bool HyperEngine::role_atom_holds(std::uint32_t dir, std::uint32_t role, std::uint32_t p, std::uint32_t q) const {
  return !for_each_role_neighbour(*this, p, dir, role, [q](std::uint32_t far) { return far != q; });
}

bool HyperEngine::count_match_step() {
  if (!match_deadline || !deadline) return true;
  ++match_steps;
  if (match_steps % 4096 == 0 && expired(deadline)) match_timed_out = true;
  return !match_timed_out;
}

void HyperEngine::match_compiled(std::uint32_t x, const CompiledBody& body, std::size_t step, Binding& binding,
                                 std::vector<Binding>& out, std::uint32_t pin_var, std::uint32_t pin_node) {
  if (step == body.binding_order.size()) {
    for (std::size_t i = 0; i < body.other_concepts.size(); ++i) {
      const auto node = node_of(body.other_concepts[i].var, x, binding);
      if (!node || !nodes[*node].has_label(body.other_concepts[i].cls)) return;
    }
    for (std::size_t i = 0; i < body.checks.size(); ++i) {
      const BodyRoleAtom& a = body.role_atoms[body.checks[i]];
      const auto p = node_of(a.x, x, binding);
      const auto q = node_of(a.y, x, binding);
      if (!p || !q || !role_atom_holds(a.dir, a.role, *p, *q)) return;
    }
    Binding sorted = binding;
    std::sort(sorted.begin(), sorted.end());
    out.push_back(std::move(sorted));
    return;
  }
  const BodyRoleAtom& a = body.role_atoms[body.binding_order[step]];
  const auto p = node_of(a.x, x, binding);
  if (!p) return;
  if (a.y == pin_var && pin_var != 0) {
    if (!count_match_step() || !role_atom_holds(a.dir, a.role, *p, pin_node)) return;
    binding.emplace_back(a.y, pin_node);
    match_compiled(x, body, step + 1, binding, out, pin_var, pin_node);
    binding.pop_back();
    return;
  }
  std::vector<std::uint32_t> candidates;
  append_role_neighbours(*this, *p, a.dir, a.role, candidates);
  for (std::uint32_t candidate : candidates) {
    if (!count_match_step()) return;
    binding.emplace_back(a.y, candidate);
    match_compiled(x, body, step + 1, binding, out, pin_var, pin_node);
    binding.pop_back();
  }
}

// The matcher for bodies without a plan: binds role atoms in any order that
// keeps them connected to a bound variable, walking them either way, with
// no cap on variables.
void HyperEngine::match_plain(std::uint32_t x, const DlClause& clause, std::vector<bool>& used, Binding& binding,
                              std::vector<Binding>& out) {
  const auto& body = clause.body;
  // A role atom with both ends bound is a check; do those first.
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (used[i] || body[i].atom_kind() != ClauseAtomKind::RoleAtom) continue;
    const auto p = node_of(body[i].a, x, binding), q = node_of(body[i].b, x, binding);
    if (!p || !q) continue;
    if (!role_atom_holds(body[i].role.inverse, body[i].role.id.v, *p, *q)) return;
    used[i] = true;
    match_plain(x, clause, used, binding, out);
    used[i] = false;
    return;
  }
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (used[i] || body[i].atom_kind() != ClauseAtomKind::RoleAtom) continue;
    const auto p = node_of(body[i].a, x, binding), q = node_of(body[i].b, x, binding);
    if (!p && !q) continue;
    // Walking y → x is walking the inverse role from y.
    const std::uint32_t from = p ? *p : *q;
    const std::uint32_t var = p ? body[i].b : body[i].a;
    const std::uint32_t dir = p ? body[i].role.inverse : 1 - body[i].role.inverse;
    std::vector<std::uint32_t> candidates;
    append_role_neighbours(*this, from, dir, body[i].role.id.v, candidates);
    used[i] = true;
    for (std::uint32_t candidate : candidates) {
      if (!count_match_step()) break;
      binding.emplace_back(var, candidate);
      match_plain(x, clause, used, binding, out);
      binding.pop_back();
    }
    used[i] = false;
    return;
  }
  // Role atoms left over reach variables no bound one connects to: any node may stand for them.
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (used[i] || body[i].atom_kind() != ClauseAtomKind::RoleAtom) continue;
    used[i] = true;
    for (std::uint64_t n = 0; n < nodes.size(); ++n) {
      const auto node = static_cast<std::uint32_t>(n);
      if (parent_of[node] != node) continue;
      if (!count_match_step()) break;
      binding.emplace_back(body[i].a, node);
      used[i] = false;
      match_plain(x, clause, used, binding, out);
      used[i] = true;
      binding.pop_back();
    }
    used[i] = false;
    return;
  }
  for (const ClauseAtom& atom : body) {
    if (atom.atom_kind() != ClauseAtomKind::ConceptAtom) continue;
    const auto node = node_of(atom.b, x, binding);
    if (!node || !nodes[*node].has_label(atom.a)) return;
  }
  Binding sorted = binding;
  std::sort(sorted.begin(), sorted.end());
  out.push_back(std::move(sorted));
}

std::uint32_t HyperEngine::pinned_var(const CompiledBody& body, const FactPin& pin) const {
  switch (pin.kind) {
    case FactPin::Kind::None: return 0;
    case FactPin::Kind::Label: {
      // With the class at two variables either may be the new one: no pin.
      std::uint32_t var = 0;
      std::size_t found = 0;
      for (std::size_t i = 0; i < body.other_concepts.size(); ++i)
        if (body.other_concepts[i].cls == pin.concept_) {
          var = body.other_concepts[i].var;
          ++found;
        }
      return found == 1 ? var : 0;
    }
    case FactPin::Kind::Edge: {
      // A body that can use the edge in more than one atom, or only away from
      // the centre, is matched whole.
      if (body.role_atoms.size() != 1) return 0;
      const BodyRoleAtom& a = body.role_atoms[0];
      if (a.x != 0 || !edge_matches(a.dir, a.role, HyperEdge{pin.dir, pin.role, pin.node}, false)) return 0;
      return a.y;
    }
  }
  return 0;
}

std::vector<Binding> HyperEngine::match_clause(std::uint64_t clause_id, std::uint32_t centre, FactPin pin) {
  if (inverse_func_merge) centre = find(centre);
  std::vector<Binding> out;
  Binding binding;
  const BodyCompilation& compiled = compilation(clause_id);
  if (compiled.body) {
    const CompiledBody& body = *compiled.body;
    for (std::size_t i = 0; i < body.centre_concepts.size(); ++i)
      if (!nodes[centre].has_label(body.centre_concepts[i])) return out;
    match_compiled(centre, body, 0, binding, out, pinned_var(body, pin), pin.node);
    return out;
  }
  const DlClause& c = clause(clause_id);
  for (const ClauseAtom& atom : c.body) {
    const auto kind = atom.atom_kind();
    if (kind != ClauseAtomKind::ConceptAtom && kind != ClauseAtomKind::RoleAtom) return out;  // never holds
    if (kind == ClauseAtomKind::ConceptAtom && atom.b == 0 && !nodes[centre].has_label(atom.a)) return out;
  }
  std::vector<bool> used(c.body.size(), false);
  match_plain(centre, c, used, binding, out);
  return out;
}

LevelMask HyperEngine::body_deps(std::uint64_t clause_id, std::uint32_t centre, const Binding& binding) const {
  LevelMask m = nodes[centre].node_deps;
  for (const auto& [var, node] : binding) m |= nodes[node].node_deps;
  for (const ClauseAtom& atom : clause(clause_id).body) {
    if (atom.atom_kind() != ClauseAtomKind::ConceptAtom) continue;
    const auto node = node_of(atom.b, centre, binding);
    if (!node) continue;
    if (const LevelMask* lm = nodes[*node].label_mask(atom.a)) m |= *lm;
  }
  return m;
}

ApplyResult HyperEngine::fire_clause(std::uint64_t clause_id, std::uint32_t x, FactPin pin) {
  const DlClause& c = clause(clause_id);
  if (c.head.size() >= 2) return ApplyResult::NothingNew;
  ++stats_.clause_fires;
  // Work at a merged-away node would be lost: its representative holds the class.
  if (inverse_func_merge) x = find(x);
  if (head_present_skip && c.head.size() == 1 && c.head[0].atom_kind() == ClauseAtomKind::ConceptAtom &&
      c.head[0].b == 0 && nodes[x].has_label(c.head[0].a)) {
    ++stats_.head_present_skips;
    return ApplyResult::NothingNew;
  }
  if (verifying && pin.kind == FactPin::Kind::None) {
    // A pass over the whole graph fires a clause at a node once for each of
    // its labels that triggers it; while the graph stays as it is, every
    // firing after the first matches what the first did.
    if (whole_fired_version_ != graph_version) {
      whole_fired_.clear();
      whole_fired_version_ = graph_version;
    }
    if (!whole_fired_.insert((clause_id << 32) | x).second) return ApplyResult::NothingNew;
  }
  const std::vector<Binding> bindings = match_clause(clause_id, x, pin);
  bool changed = false;
  for (const Binding& b : bindings) {
    const LevelMask d = body_deps(clause_id, x, b);
    if (c.head.size() == 1) {
      const ApplyResult r = apply_head_atom(c.head[0], x, b, d);
      if (r == ApplyResult::Clash) return r;
      changed = changed || r == ApplyResult::Changed;
      continue;
    }
    const std::uint32_t y = find(x);
    clash_deps = nodes[y].imprecise ? LevelMask::overflow_mask() : d;
    if (shadow_probe) record_clash(clash_deps, d | nodes[y].shadow_lost_deps, y);
    return ApplyResult::Clash;
  }
  return changed ? ApplyResult::Changed : ApplyResult::NothingNew;
}

std::uint32_t HyperEngine::create_successor(std::uint32_t parent, std::uint32_t dir, std::uint32_t role,
                                            const LevelMask& mask) {
  const std::uint32_t z = new_node();
  HyperNode& n = nodes.mut(z);
  n.node_deps = mask;
  if (shadow_probe) n.shadow_node_deps = mask;
  n.is_tree = 1;
  n.parent = parent;
  n.parent_dir = dir;
  n.parent_role = role;
  if (parent_role_buckets) (*parent_role_buckets)[(std::uint64_t{dir} << 32) | role].push_back(z);
  nodes.mut(parent).out_edges.push_back({dir, role, z});
  nodes.mut(z).in_edges.push_back({dir, role, parent});
  queue.push_back(WorkItem::edge(dir, role, parent, z));
  return z;
}

ApplyResult HyperEngine::add_role_edge(std::uint32_t source, std::uint32_t target, std::uint32_t role,
                                       const LevelMask& mask) {
  const HyperEdge out{0, role, target};
  if (nodes[source].out_index.position_of(nodes[source].out_edges, out) >= 0) return ApplyResult::NothingNew;
  nodes.mut(source).out_edges.push_back(out);
  nodes.mut(target).in_edges.push_back({0, role, source});
  ++graph_version;
  for (std::uint32_t end : {source, target}) {
    HyperNode& n = nodes.mut(end);
    n.node_deps |= mask;
    if (shadow_probe) n.shadow_node_deps |= mask;
  }
  queue.push_back(WorkItem::edge(0, role, source, target));
  return ApplyResult::Changed;
}

void HyperEngine::close_transitive(std::uint32_t dir, std::uint32_t role, std::uint32_t t, std::uint32_t u) {
  const HyperEdge edge{dir, role, u};
  auto far_ends = [&](std::uint32_t node, std::uint32_t want_dir, std::uint32_t r) {
    std::vector<std::uint32_t> out;
    append_role_neighbours(*this, node, want_dir, r, out);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
  };
  for (const ClauseIndexes* idx : {index.get(), static_cast<const ClauseIndexes*>(&delta_index)}) {
    for (std::uint64_t tr : idx->transitive_roles.get(role)) {
      const auto big = static_cast<std::uint32_t>(tr);
      // The edge read as a T-edge a → b, forwards and (through a symmetric role) backwards.
      for (std::uint32_t orientation : {0u, 1u}) {
        if (!edge_matches(orientation, big, edge, false)) continue;
        const std::uint32_t a = find(orientation == 0 ? t : u), b = find(orientation == 0 ? u : t);
        const LevelMask ab = nodes[a].node_deps | nodes[b].node_deps;
        for (std::uint32_t x : far_ends(a, 1, big)) add_role_edge(find(x), b, big, ab | nodes[x].node_deps);
        for (std::uint32_t y : far_ends(b, 0, big)) add_role_edge(a, find(y), big, ab | nodes[y].node_deps);
      }
    }
  }
}

ApplyResult HyperEngine::apply_head_atom(const ClauseAtom& atom, std::uint32_t x, const Binding& binding,
                                         const LevelMask& mask) {
  switch (atom.atom_kind()) {
    case ClauseAtomKind::ConceptAtom: {
      const auto node = node_of(atom.b, x, binding);
      if (!node) return ApplyResult::NothingNew;
      return add_label(*node, atom.a, mask) ? ApplyResult::Changed : ApplyResult::NothingNew;
    }
    case ClauseAtomKind::RoleAtom: {
      const auto p = node_of(atom.a, x, binding), q = node_of(atom.b, x, binding);
      if (!p || !q) return ApplyResult::NothingNew;
      std::uint32_t source = find(*p), target = find(*q);
      if (atom.role.inverse != 0) std::swap(source, target);
      return add_role_edge(source, target, atom.role.id.v, mask);
    }
    case ClauseAtomKind::ExistsAtom: {
      const auto y = node_of(atom.b, x, binding);
      if (!y) return ApplyResult::NothingNew;
      const std::uint32_t dir = atom.role.inverse, role = atom.role.id.v;
      const HyperNode& yn = nodes[*y];
      if (!for_each_role_edge(*this, yn.out_edges, yn.out_index, dir, role, false,
                              [&](std::uint32_t t) { return !nodes[t].has_label(atom.a); }))
        return ApplyResult::NothingNew;
      if (defer(*y, atom, mask)) return ApplyResult::NothingNew;
      if (is_blocked(*y)) {
        if (std::find(blocked_waiting.begin(), blocked_waiting.end(), *y) == blocked_waiting.end())
          blocked_waiting.push_back(*y);
        return ApplyResult::NothingNew;
      }
      const std::uint32_t z = create_successor(*y, dir, role, mask);
      add_label(z, atom.a, mask);
      return ApplyResult::Changed;
    }
    case ClauseAtomKind::AtMostAtom: {
      const auto y = node_of(atom.b, x, binding);
      if (!y) return ApplyResult::NothingNew;
      const CardRecord record{atom.role.inverse, atom.role.id.v, atom.flag, atom.filler, atom.a};
      if (has_record(nodes[*y].at_most, record)) return ApplyResult::NothingNew;
      HyperNode& yn = nodes.mut(*y);
      yn.at_most.push_back(record);
      ++graph_version;
      yn.card_deps |= mask;
      yn.shadow_card_deps |= mask;
      if (record.n == 1 && inverse_func_merge && !enforce_functional(*y, record)) return ApplyResult::Clash;
      return ApplyResult::Changed;
    }
    case ClauseAtomKind::AtLeastAtom: {
      // Over an inverse role the new nodes are predecessors, as for an existential.
      const auto v = node_of(atom.b, x, binding);
      if (!v || atom.a == 0) return ApplyResult::NothingNew;
      const std::uint32_t r = find(*v);
      const CardRecord record{atom.role.inverse, atom.role.id.v, atom.flag, atom.filler, atom.a};
      if (successors(r, record.dir, record.role, record.qualified, record.concept_).size() >= record.n ||
          has_record(nodes[r].at_least, record))
        return ApplyResult::NothingNew;
      if (defer(r, atom, mask)) return ApplyResult::NothingNew;
      if (is_blocked(r)) {
        if (std::find(blocked_waiting.begin(), blocked_waiting.end(), r) == blocked_waiting.end())
          blocked_waiting.push_back(r);
        return ApplyResult::NothingNew;
      }
      nodes.mut(r).at_least.push_back(record);
      std::vector<std::uint32_t> made;
      for (std::uint32_t i = 0; i < record.n; ++i) {
        const std::uint32_t z = create_successor(r, record.dir, record.role, mask);
        if (record.qualified != 0) add_label(z, record.concept_, mask);
        made.push_back(z);
      }
      for (std::size_t i = 0; i < made.size(); ++i)
        for (std::size_t j = i + 1; j < made.size(); ++j) {
          const std::uint32_t a = find(made[i]), b = find(made[j]);
          if (a == b) continue;
          const std::pair<std::uint32_t, std::uint32_t> pair{std::min(a, b), std::max(a, b)};
          if (std::find(distinct_pairs.begin(), distinct_pairs.end(), pair) == distinct_pairs.end())
            distinct_pairs.push_back(pair);
        }
      return ApplyResult::Changed;
    }
  }
  return ApplyResult::NothingNew;
}

bool HyperEngine::head_atom_holds(std::uint64_t clause_id, std::size_t position, std::uint32_t centre,
                                  const Binding& binding) {
  const ClauseAtom& atom = clause(clause_id).head[position];
  auto node = node_of(atom.b, centre, binding);
  if (atom.atom_kind() == ClauseAtomKind::RoleAtom) return false;
  if (!node) return false;
  if (inverse_func_merge) node = find(*node);
  switch (atom.atom_kind()) {
    case ClauseAtomKind::ConceptAtom: return nodes[*node].has_label(atom.a);
    case ClauseAtomKind::ExistsAtom: {
      // A blocked node's successors are its blocker's.
      if (inverse_roles && is_blocked(*node)) return true;
      const HyperNode& n = nodes[*node];
      return !for_each_role_edge(*this, n.out_edges, n.out_index, atom.role.inverse, atom.role.id.v, false,
                                 [&](std::uint32_t t) { return !nodes[t].has_label(atom.a); });
    }
    case ClauseAtomKind::AtMostAtom: {
      const CardRecord record{atom.role.inverse, atom.role.id.v, atom.flag, atom.filler, atom.a};
      return has_record(nodes[*node].at_most, record) ||
             successors(*node, record.dir, record.role, record.qualified, record.concept_).size() <= record.n;
    }
    case ClauseAtomKind::AtLeastAtom: {
      // Counted as the application counts them; a disjunct that never held
      // would be offered again at every level.
      if (atom.a == 0) return true;
      if (inverse_roles && is_blocked(*node)) return true;
      return successors(*node, atom.role.inverse, atom.role.id.v, atom.flag, atom.filler).size() >= atom.a;
    }
    default: return false;
  }
}

}  // namespace kelmon
