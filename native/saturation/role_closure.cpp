#include <algorithm>
#include <limits>

#include "common/invariant.h"
#include "core/ir.h"
#include "saturation/internal/rule_base.h"

namespace kelmon::sat {

RoleClosure build_role_closure(const InternalOntology& ontology) {
  const std::size_t role_count = ontology.vocabulary.roles.size();
  invariant(role_count <= std::size_t{std::numeric_limits<u32>::max()} + 1, "role count fits in u32");
  std::vector<std::vector<u32>> edges(role_count);
  auto named_below = [&](const Role& r) { return r.is_named() && r.id.v < role_count; };
  for (const Axiom& axiom : ontology.axioms) {
    if (const auto* sub = std::get_if<SubObjectPropertyOf>(&axiom)) {
      const auto* single = std::get_if<Single>(&sub->sub);
      if (single != nullptr && named_below(single->role) && named_below(sub->sup))
        edges[single->role.id.v].push_back(sub->sup.id.v);
    } else if (const auto* eq = std::get_if<EquivalentObjectProperties>(&axiom)) {
      std::vector<u32> members;
      for (const Role& r : eq->roles)
        if (named_below(r)) members.push_back(r.id.v);
      for (u32 p : members)
        for (u32 q : members)
          if (p != q) edges[p].push_back(q);
    }
  }
  // A search from every role over sub → super edges: the cost follows the
  // size of the closure instead of the square of the role count.
  RoleClosure closure(role_count);
  std::vector<u32> seen_at(role_count, std::numeric_limits<u32>::max());
  std::vector<u32> stack;
  for (std::size_t r = 0; r < role_count; ++r) {
    const u32 root = static_cast<u32>(r);
    std::vector<u32>& out = closure[r];
    stack.assign(1, root);
    seen_at[r] = root;
    while (!stack.empty()) {
      u32 x = stack.back();
      stack.pop_back();
      out.push_back(x);
      for (u32 y : edges[x]) {
        if (seen_at[y] == root) continue;
        seen_at[y] = root;
        stack.push_back(y);
      }
    }
    std::sort(out.begin(), out.end());
  }
  return closure;
}

std::vector<std::vector<u32>> role_closure_lists(const RoleClosure& closure) { return closure; }

}  // namespace kelmon::sat
