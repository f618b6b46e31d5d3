#include "tableau/completion/internal/data_value_clash.h"

#include <vector>

#include "core/data/key_values.h"
#include "core/data/key_witness.h"

namespace kelmon::completion::internal {

std::optional<DepSet> value_node_clash(const TableauContext& ctx, NodeId id) {
  const GraphNode& n = ctx.node(id);
  std::vector<const DKeyValue*> inside, outside;
  std::vector<std::size_t> positions;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = ctx.concept_of(n.labels[i]);
    if (const Not* neg = std::get_if<Not>(&c)) {
      if (const DKeyValue* k = ctx.data_range_of(neg->operand)) outside.push_back(k), positions.push_back(i);
    } else if (const DKeyValue* k = ctx.data_range_of(n.labels[i])) {
      inside.push_back(k), positions.push_back(i);
    }
  }
  if (inside.empty() || (inside.size() < 2 && outside.empty())) return std::nullopt;
  if (key_witness(inside, outside) != KeyWitness::None) return std::nullopt;
  // Every key label of the node took part in ruling the values out.
  DepSet deps;
  for (std::size_t i : positions) deps.join(n.label_deps[i]);
  return deps;
}

std::optional<DepSet> disjoint_data_roles_clash(const TableauContext& ctx, NodeId id) {
  if (ctx.disjoint_role_pairs.empty()) return std::nullopt;
  struct Needed {
    RoleId role;
    KeyValue value;
    std::size_t position;
  };
  const GraphNode& n = ctx.node(id);
  std::vector<Needed> needed;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = ctx.concept_of(n.labels[i]);
    std::optional<Role> role;
    ConceptId filler{};
    if (const Some* s = std::get_if<Some>(&c)) role = s->role, filler = s->filler;
    if (const Min* m = std::get_if<Min>(&c); m && m->n >= 1) role = m->role, filler = m->filler;
    if (!role || role->inverse != 0) continue;
    const DKeyValue* k = ctx.data_range_of(filler);
    if (!k) continue;
    const auto values = finite_key_values(*k);
    if (values && values->size() == 1) needed.push_back({role->id, values->front(), i});
  }
  // A value needed through a role is needed through each of its super-roles.
  const RoleHierarchy* h = ctx.role_hierarchy;
  auto below = [&](RoleId sub, RoleId sup) {
    if (sub == sup) return true;
    return h != nullptr && sub.v < h->role_count() && sup.v < h->role_count() && h->is_sub_role(sub, sup);
  };
  for (const auto& [p, q] : ctx.disjoint_role_pairs) {
    if (!q.is_named()) continue;  // data roles have no inverse
    for (const Needed& a : needed) {
      if (!below(a.role, p.id)) continue;
      for (const Needed& b : needed) {
        if (below(b.role, q.id) && a.value == b.value)
          return DepSet::union_of(n.label_deps[a.position], n.label_deps[b.position]);
      }
    }
  }
  return std::nullopt;
}

}  // namespace kelmon::completion::internal
