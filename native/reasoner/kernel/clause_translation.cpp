#include "reasoner/kernel/internal/clause_translation.h"

#include <optional>

#include <tsl/robin_set.h>

#include "core/data/dkey_encode.h"
#include "core/data/dkey_value.h"

namespace kelmon::reasoner {

void add_role_gcis(InternalOntology& ir) {
  ConceptPool& pool = ir.concepts;
  const ConceptId top = pool.intern(Top{});
  std::vector<Axiom> added;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* n = std::get_if<NegativeObjectPropertyAssertion>(&axiom)) {
      const ConceptId subject = pool.intern(Nominal{n->subject});
      const ConceptId not_object = pool.intern(Not{pool.intern(Nominal{n->object})});
      added.push_back(SubClassOf{subject, pool.intern(All{not_object, n->role})});
    } else if (const auto* r = std::get_if<ReflexiveRole>(&axiom)) {
      added.push_back(SubClassOf{top, pool.intern(Self{r->role})});
    } else if (const auto* r = std::get_if<IrreflexiveRole>(&axiom)) {
      added.push_back(SubClassOf{top, pool.intern(Not{pool.intern(Self{r->role})})});
    } else if (const auto* f = std::get_if<InverseFunctionalRole>(&axiom)) {
      const Role inverse = inverse_role(f->role);
      added.push_back(SubClassOf{pool.intern(Some{top, inverse}), pool.intern(Max{1, top, inverse})});
    }
  }
  for (Axiom& a : added) ir.axioms.push_back(std::move(a));
}

namespace {

// Calls f(S, R) for every single role inclusion S ⊑ R and every ordered pair
// of equivalent roles, roles written as the translation writes them.
template <typename F>
void for_each_role_inclusion(const InternalOntology& ir, const InverseRoleMap& inverses, F&& f) {
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* a = std::get_if<SubObjectPropertyOf>(&axiom)) {
      if (const auto* single = std::get_if<Single>(&a->sub))
        f(canonical_role_of(inverses, single->role), canonical_role_of(inverses, a->sup));
    } else if (const auto* e = std::get_if<EquivalentObjectProperties>(&axiom)) {
      for (Role x : e->roles)
        for (Role y : e->roles) f(canonical_role_of(inverses, x), canonical_role_of(inverses, y));
    }
  }
}

}  // namespace

void append_role_clauses(const InternalOntology& ir, std::vector<DlClause>& clauses) {
  const InverseRoleMap inverses = collect_inverse_role_map(ir.axioms);
  // The hierarchy relates roles of one direction only; an inclusion that
  // folding turned into S⁻ ⊑ R needs its own clause.
  for_each_role_inclusion(ir, inverses, [&](Role s, Role p) {
    if (s.inverse != p.inverse) clauses.push_back({{role_atom(0, 1, s)}, {role_atom(0, 1, p)}});
  });
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* a = std::get_if<AsymmetricRole>(&axiom)) {
      const Role r = canonical_role_of(inverses, a->role);
      clauses.push_back({{role_atom(0, 1, r), role_atom(1, 0, r)}, {}});
    } else if (const auto* d = std::get_if<DisjointObjectProperties>(&axiom)) {
      for (std::size_t i = 0; i < d->roles.size(); ++i)
        for (std::size_t j = i + 1; j < d->roles.size(); ++j)
          clauses.push_back({{role_atom(0, 1, canonical_role_of(inverses, d->roles[i])),
                              role_atom(0, 1, canonical_role_of(inverses, d->roles[j]))},
                             {}});
    }
  }
}

void append_hierarchy_clauses(const InternalOntology& ir, std::vector<DlClause>& clauses) {
  const InverseRoleMap inverses = collect_inverse_role_map(ir.axioms);
  for_each_role_inclusion(ir, inverses, [&](Role s, Role p) {
    if (s != p && s.inverse == p.inverse) clauses.push_back({{role_atom(0, 1, s)}, {role_atom(0, 1, p)}});
  });
  auto symmetric = [&](RoleId r) {
    const Role named = Role::named(r);
    clauses.push_back({{role_atom(0, 1, named)}, {role_atom(1, 0, named)}});
  };
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* s = std::get_if<SymmetricRole>(&axiom)) {
      symmetric(s->role.id);
    } else if (const auto* i = std::get_if<InverseObjectProperties>(&axiom); i && i->first == i->second) {
      symmetric(i->first.id);
    }
  }
}

std::vector<bool> dkey_class_flags(const InternalOntology& ir) { return dkey_class_flags(ir.vocabulary); }

std::vector<bool> dkey_class_flags(const Vocabulary& vocabulary) {
  const auto& names = vocabulary.classes.names();
  std::vector<bool> flags(names.size(), false);
  for (std::size_t i = 0; i < names.size(); ++i) flags[i] = names[i]->starts_with(dkey_prefix);
  return flags;
}

namespace {

// Whether a concept of the ontology's pool is a data-value key class.
struct KeyClassTest {
  explicit KeyClassTest(const InternalOntology& ir) : keys(dkey_class_flags(ir)), pool(ir.concepts) {}
  bool operator()(ConceptId c) const {
    const auto* a = std::get_if<Atomic>(&pool.get(c));
    return a != nullptr && a->cls.v < keys.size() && keys[a->cls.v];
  }
  bool negated(ConceptId c) const {
    const auto* n = std::get_if<Not>(&pool.get(c));
    return n != nullptr && (*this)(n->operand);
  }
  std::vector<bool> keys;
  const ConceptPool& pool;
};

}  // namespace

bool has_key_number_restriction(const InternalOntology& ir) {
  const KeyClassTest key_filler(ir);
  const ConceptPool& pool = ir.concepts;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const Concept& c = pool.get(ConceptId{static_cast<std::uint32_t>(i)});
    if (const auto* m = std::get_if<Min>(&c); m != nullptr && key_filler(m->filler)) return true;
    if (const auto* m = std::get_if<Max>(&c); m != nullptr && key_filler(m->filler)) return true;
  }
  return false;
}

bool has_key_required_outside(const InternalOntology& ir) {
  const KeyClassTest is_key(ir);
  const ConceptPool& pool = ir.concepts;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const Concept& c = pool.get(ConceptId{static_cast<std::uint32_t>(i)});
    if (const auto* s = std::get_if<Some>(&c); s != nullptr && is_key.negated(s->filler)) return true;
    if (const auto* m = std::get_if<Min>(&c); m != nullptr && is_key.negated(m->filler)) return true;
  }
  return false;
}

bool has_key_beyond_pairs(const InternalOntology& ir) {
  const KeyClassTest is_key(ir);
  const ConceptPool& pool = ir.concepts;
  tsl::robin_set<std::uint32_t> data_roles;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const Concept& c = pool.get(ConceptId{static_cast<std::uint32_t>(i)});
    std::optional<std::pair<Role, ConceptId>> restriction;
    if (const auto* s = std::get_if<Some>(&c)) {
      restriction = std::pair{s->role, s->filler};
    } else if (const auto* m = std::get_if<Min>(&c)) {
      restriction = std::pair{m->role, m->filler};
    } else if (const auto* a = std::get_if<All>(&c)) {
      restriction = std::pair{a->role, a->filler};
    } else if (const auto* m = std::get_if<Max>(&c)) {
      restriction = std::pair{m->role, m->filler};
    }
    if (restriction && (is_key(restriction->second) || is_key.negated(restriction->second)))
      data_roles.insert(restriction->first.id.v);
  }
  for (const Axiom& axiom : ir.axioms) {
    const auto* d = std::get_if<DisjointObjectProperties>(&axiom);
    if (d == nullptr) continue;
    for (const Role& r : d->roles)
      if (data_roles.contains(r.id.v)) return true;
  }
  return false;
}

bool has_value_excluded_among_keys(const InternalOntology& ir) {
  const KeyClassTest is_key(ir);
  const ConceptPool& pool = ir.concepts;
  std::size_t used_keys = 0;
  bool int_keys = false, decimal_keys = false, excluded = false;
  for (std::size_t i = 0; i < pool.size(); ++i) {
    const ConceptId id{static_cast<std::uint32_t>(i)};
    const Concept& c = pool.get(id);
    if (const auto* a = std::get_if<Atomic>(&c); a != nullptr && is_key(id)) {
      ++used_keys;
      const auto value = decode_dkey_value(*ir.vocabulary.classes.names()[a->cls.v]);
      if (value && (std::holds_alternative<DKeyValue::IntRange>(value->kind) ||
                    std::holds_alternative<DKeyValue::IntSet>(value->kind)))
        int_keys = true;
      if (value && (std::holds_alternative<DKeyValue::DecimalRange>(value->kind) ||
                    std::holds_alternative<DKeyValue::DecimalSet>(value->kind)))
        decimal_keys = true;
    }
    if (const auto* n = std::get_if<Not>(&c)) {
      const Concept& inner = pool.get(n->operand);
      const auto* s = std::get_if<Some>(&inner);
      const auto* m = std::get_if<Min>(&inner);
      if (is_key(n->operand) || (s != nullptr && is_key(s->filler)) || (m != nullptr && is_key(m->filler)))
        excluded = true;
    }
  }
  return excluded && (used_keys >= 3 || (int_keys && decimal_keys));
}

bool inverses_folded(const InternalOntology& ir, const InverseRoleMap& inverses) {
  for (const Axiom& axiom : ir.axioms) {
    const auto* p = std::get_if<InverseObjectProperties>(&axiom);
    if (p == nullptr) continue;
    // A role inverse to itself is symmetric, which the hierarchy carries.
    if (p->first == p->second) continue;
    if (canonical_role_of(inverses, p->first) != inverse_role(canonical_role_of(inverses, p->second))) return false;
  }
  return true;
}

bool hierarchy_is_trivial(const RoleHierarchy& hierarchy) {
  for (std::size_t r = 0; r < hierarchy.role_count(); ++r) {
    const RoleId id{static_cast<std::uint32_t>(r)};
    if (hierarchy.super_roles(id).size() > 1 || hierarchy.is_symmetric(id)) return false;
  }
  return true;
}

}  // namespace kelmon::reasoner
