#include "reasoner/fragment.h"

#include <limits>
#include <vector>

#include "common/invariant.h"
#include "common/overload.h"
#include "common/switches.h"
#include "core/clause.h"

namespace kelmon::reasoner {

namespace {

// Per-concept facts computed in one pass over the pool: a concept's members
// and fillers always have smaller ids, so they are known when it is reached.
struct ConceptShapes {
  std::vector<std::uint8_t> el, horn;

  explicit ConceptShapes(const ConceptPool& pool) {
    const size_t n = pool.size();
    el.assign(n, 0);
    horn.assign(n, 0);
    for (size_t i = 0; i < n; ++i) {
      const Concept& c = pool.get(ConceptId{static_cast<std::uint32_t>(i)});
      std::visit(Overload{
                     [&](const Top&) { el[i] = horn[i] = 1; },
                     [&](const Bottom&) { el[i] = 1; },
                     [&](const Atomic&) { el[i] = horn[i] = 1; },
                     [&](const Some& s) {
                       bool named = s.role.is_named();
                       el[i] = named && el[s.filler.v];
                       horn[i] = named && horn[s.filler.v];
                     },
                     [&](const And& a) {
                       bool all_el = true, all_horn = true;
                       for (ConceptId m : a.members) {
                         all_el = all_el && el[m.v];
                         all_horn = all_horn && horn[m.v];
                       }
                       el[i] = all_el;
                       horn[i] = all_horn;
                     },
                     [](const auto&) {},
                 },
                 c);
    }
  }
};

bool is_simple(const Concept& c) {
  return std::holds_alternative<Top>(c) || std::holds_alternative<Bottom>(c) || std::holds_alternative<Atomic>(c);
}

bool role_inclusion_inside(const SubObjectPropertyOf& x) {
  if (!x.sup.is_named()) return false;
  return std::visit(Overload{
                        [](const Single& s) { return s.role.is_named(); },
                        [](const Chain& c) { return c.roles.size() == 2 && c.roles[0].is_named() && c.roles[1].is_named(); },
                    },
                    x.sub);
}

bool all_named(const std::vector<Role>& roles) {
  for (const Role& r : roles)
    if (!r.is_named()) return false;
  return true;
}

using RoleSet = tsl::robin_set<std::uint32_t>;

struct RoleHash {
  size_t operator()(Role r) const noexcept {
    return std::hash<std::uint64_t>{}((std::uint64_t{r.inverse} << 32) | r.id.v);
  }
};

bool bare(const std::optional<RoleSet>& used, std::initializer_list<RoleId> roles) {
  if (!used) return false;
  for (RoleId r : roles)
    if (used->contains(r.v)) return false;
  return true;
}

// The rows of the ontology shared by the fragment and Horn tables.
struct SharedRules {
  const InternalOntology& ir;
  std::optional<RoleSet> used;
  bool inside_common(const Axiom& a, bool& decided) const {
    decided = true;
    const ConceptPool& pool = ir.concepts;
    return std::visit(Overload{
                          [&](const SubObjectPropertyOf& x) { return role_inclusion_inside(x); },
                          [&](const EquivalentObjectProperties& x) { return all_named(x.roles); },
                          [&](const InverseObjectProperties& x) { return bare(used, {x.first.id, x.second.id}); },
                          [&](const SymmetricRole& x) { return bare(used, {x.role.id}); },
                          [&](const ObjectPropertyDomain& x) {
                            return x.role.is_named() && is_simple(pool.get(x.domain));
                          },
                          [&](const ObjectPropertyRange& x) {
                            return x.role.is_named() && is_simple(pool.get(x.range));
                          },
                          [&](const DisjointUnion&) { return false; },
                          [&](const DisjointObjectProperties&) { return false; },
                          [&](const AsymmetricRole&) { return false; },
                          [&](const ReflexiveRole&) { return false; },
                          [&](const IrreflexiveRole&) { return false; },
                          [&](const DeclareClass&) { return true; },
                          [&](const DeclareObjectProperty&) { return true; },
                          [&](const DeclareNamedIndividual&) { return true; },
                          [&](const TransitiveRole& x) { return x.role.is_named(); },
                          [&](const auto&) {
                            decided = false;
                            return false;
                          },
                      },
                      a);
  }
};

}  // namespace

std::optional<RoleSet> used_roles(const InternalOntology& ir) {
  if (!switch_flag(SwitchId::FragmentBareDecl)) return std::nullopt;
  RoleSet used;
  const size_t n = ir.concepts.size();
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "pool size fits in u32");
  for (size_t i = 0; i < n; ++i) {
    std::visit(Overload{
                   [&](const Self& x) { used.insert(x.role.id.v); },
                   [&](const Some& x) { used.insert(x.role.id.v); },
                   [&](const All& x) { used.insert(x.role.id.v); },
                   [&](const Min& x) { used.insert(x.role.id.v); },
                   [&](const Max& x) { used.insert(x.role.id.v); },
                   [](const auto&) {},
               },
               ir.concepts.get(ConceptId{static_cast<std::uint32_t>(i)}));
  }
  for (const Axiom& a : ir.axioms) {
    std::visit(Overload{
                   [&](const SubObjectPropertyOf& x) {
                     if (const auto* chain = std::get_if<Chain>(&x.sub))
                       for (const Role& r : chain->roles) used.insert(r.id.v);
                   },
                   [&](const DisjointObjectProperties& x) {
                     for (const Role& r : x.roles) used.insert(r.id.v);
                   },
                   [&](const ObjectPropertyDomain& x) { used.insert(x.role.id.v); },
                   [&](const ObjectPropertyRange& x) { used.insert(x.role.id.v); },
                   [&](const AsymmetricRole& x) { used.insert(x.role.id.v); },
                   [&](const ReflexiveRole& x) { used.insert(x.role.id.v); },
                   [&](const IrreflexiveRole& x) { used.insert(x.role.id.v); },
                   [&](const FunctionalRole& x) { used.insert(x.role.id.v); },
                   [&](const InverseFunctionalRole& x) { used.insert(x.role.id.v); },
                   [&](const ObjectPropertyAssertion& x) { used.insert(x.role.id.v); },
                   [&](const NegativeObjectPropertyAssertion& x) { used.insert(x.role.id.v); },
                   [](const auto&) {},
               },
               a);
  }
  // Downward closure: a sub-role of a used role is used.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> edges;  // (sub, sup)
  for (const Axiom& a : ir.axioms) {
    if (const auto* x = std::get_if<SubObjectPropertyOf>(&a)) {
      if (const auto* s = std::get_if<Single>(&x->sub)) edges.emplace_back(s->role.id.v, x->sup.id.v);
    } else if (const auto* e = std::get_if<EquivalentObjectProperties>(&a)) {
      for (const Role& r : e->roles)
        for (const Role& s : e->roles)
          if (r.id != s.id) edges.emplace_back(r.id.v, s.id.v);
    }
  }
  bool added = true;
  while (added) {
    added = false;
    for (const auto& [sub, sup] : edges) {
      if (used.contains(sup) && used.insert(sub).second) added = true;
    }
  }
  return used;
}

bool has_unsupported_feature(const InternalOntology& ir) {
  struct ChainInclusion {
    std::vector<std::uint32_t> roles;
    std::uint32_t sup;
  };
  std::vector<ChainInclusion> chains;
  RoleSet chain_supers, with_range;
  tsl::robin_map<std::uint32_t, std::vector<std::uint32_t>> told_supers;
  for (const Axiom& a : ir.axioms) {
    if (const auto* x = std::get_if<SubObjectPropertyOf>(&a)) {
      if (const auto* c = std::get_if<Chain>(&x->sub)) {
        ChainInclusion inc{{}, x->sup.id.v};
        for (const Role& r : c->roles) inc.roles.push_back(r.id.v);
        chains.push_back(std::move(inc));
        chain_supers.insert(x->sup.id.v);
      } else {
        told_supers[std::get<Single>(x->sub).role.id.v].push_back(x->sup.id.v);
      }
    } else if (const auto* e = std::get_if<EquivalentObjectProperties>(&a)) {
      for (const Role& r : e->roles)
        for (const Role& s : e->roles)
          if (r.id != s.id) told_supers[r.id.v].push_back(s.id.v);
    } else if (const auto* range = std::get_if<ObjectPropertyRange>(&a)) {
      with_range.insert(range->role.id.v);
    }
  }
  if (chains.size() < 2 || with_range.empty()) return false;
  for (const auto& inc : chains) {
    bool feeds = false;
    for (std::uint32_t r : inc.roles) {
      if (r != inc.sup && chain_supers.contains(r)) {
        feeds = true;
        break;
      }
    }
    if (!feeds) continue;
    RoleSet seen{inc.sup};
    std::vector<std::uint32_t> stack{inc.sup};
    while (!stack.empty()) {
      std::uint32_t r = stack.back();
      stack.pop_back();
      if (with_range.contains(r)) return true;
      auto it = told_supers.find(r);
      if (it == told_supers.end()) continue;
      for (std::uint32_t s : it->second)
        if (seen.insert(s).second) stack.push_back(s);
    }
  }
  return false;
}

bool in_saturation_fragment(const InternalOntology& ir, bool skip_assertions) {
  if (has_unsupported_feature(ir)) return false;
  ConceptShapes shapes(ir.concepts);
  SharedRules rules{ir, used_roles(ir)};
  auto all_el = [&](const std::vector<ConceptId>& list) {
    for (ConceptId c : list)
      if (!shapes.el[c.v]) return false;
    return true;
  };
  for (const Axiom& a : ir.axioms) {
    if (is_assertion(a)) {
      if (skip_assertions) continue;
      return false;
    }
    bool decided = false;
    bool inside = rules.inside_common(a, decided);
    if (!decided) {
      inside = std::visit(Overload{
                              [&](const SubClassOf& x) { return shapes.el[x.sub.v] && shapes.el[x.sup.v]; },
                              [&](const EquivalentClasses& x) { return all_el(x.members); },
                              [&](const DisjointClasses& x) {
                                for (ConceptId c : x.members)
                                  if (!std::holds_alternative<Atomic>(ir.concepts.get(c))) return false;
                                return true;
                              },
                              [](const auto&) { return false; },  // functionality and the like
                          },
                          a);
    }
    if (!inside) return false;
  }
  return true;
}

bool is_horn(const InternalOntology& ir, bool skip_assertions) {
  if (has_unsupported_feature(ir)) return false;
  tsl::robin_set<Role, RoleHash> functional, inverse_functional;
  for (const Axiom& a : ir.axioms) {
    if (const auto* f = std::get_if<FunctionalRole>(&a)) functional.insert(f->role);
    if (const auto* f = std::get_if<InverseFunctionalRole>(&a)) inverse_functional.insert(f->role);
  }
  const bool no_functional = functional.empty() && inverse_functional.empty();
  const bool inverse_func_max = switch_flag(SwitchId::InverseFuncMax);
  ConceptShapes shapes(ir.concepts);
  SharedRules rules{ir, used_roles(ir)};
  const ConceptPool& pool = ir.concepts;

  // ∃S.⊤ ⊑ ≤1 R.⊤ over roles of the given set (flipped when `flip`).
  auto functionality_gci = [&](const SubClassOf& x, const auto& set, bool flip) {
    const auto* max = std::get_if<Max>(&pool.get(x.sup));
    const auto* some = std::get_if<Some>(&pool.get(x.sub));
    if (!max || !some || max->n != 1) return false;
    if (!std::holds_alternative<Top>(pool.get(max->filler)) || !std::holds_alternative<Top>(pool.get(some->filler)))
      return false;
    Role r = flip ? inverse_role(max->role) : max->role;
    Role s = flip ? inverse_role(some->role) : some->role;
    return set.contains(r) && set.contains(s);
  };

  for (const Axiom& a : ir.axioms) {
    if (is_assertion(a)) {
      if (skip_assertions) continue;
      return false;
    }
    bool inside = std::visit(
        Overload{
            [&](const SubClassOf& x) {
              if (functionality_gci(x, functional, false)) return true;
              if (inverse_func_max && functionality_gci(x, inverse_functional, true)) return true;
              if (std::holds_alternative<Bottom>(pool.get(x.sup))) {
                if (!shapes.horn[x.sub.v]) return false;
                return no_functional || !std::holds_alternative<And>(pool.get(x.sub));
              }
              return shapes.horn[x.sub.v] && shapes.horn[x.sup.v];
            },
            [&](const EquivalentClasses& x) {
              for (ConceptId c : x.members)
                if (!shapes.horn[c.v]) return false;
              return true;
            },
            [&](const DisjointClasses& x) {
              if (!no_functional) return false;
              for (ConceptId c : x.members)
                if (!std::holds_alternative<Atomic>(pool.get(c))) return false;
              return true;
            },
            [&](const FunctionalRole& x) { return x.role.is_named(); },
            [&](const InverseFunctionalRole& x) { return x.role.is_named(); },
            [&](const auto&) {
              bool decided = false;
              bool in = rules.inside_common(a, decided);
              return decided && in;
            },
        },
        a);
    if (!inside) return false;
  }
  return true;
}

bool horn_shortcircuit_applies(const InternalOntology& ir) {
  bool has_assertion = false;
  for (const Axiom& a : ir.axioms) {
    if (is_assertion(a)) {
      has_assertion = true;
      break;
    }
  }
  if (!has_assertion) return false;
  if (abox_touches_tbox(ir)) return false;
  if (in_saturation_fragment(ir, true)) return true;
  if (!switch_flag(SwitchId::HornShortcircuit)) return false;
  return is_horn(ir, true);
}

std::uint8_t fragment_kind(const InternalOntology& ir) {
  if (in_saturation_fragment(ir, false)) return 0;
  DlClauseSet clauses = clausify(ir);
  return (clauses.disjunctive > 0 || clauses.skipped > 0) ? 2 : 1;
}

}  // namespace kelmon::reasoner
