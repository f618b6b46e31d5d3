#include "reasoner/properties/simple_tbox.h"

#include <algorithm>
#include <type_traits>
#include <variant>
#include <vector>

namespace kelmon::reasoner {

namespace {

bool is_atomic(const ConceptPool& pool, ConceptId id) { return std::holds_alternative<Atomic>(pool.get(id)); }

// A class, or a conjunction of classes.
bool atomic_or_conjunction(const ConceptPool& pool, ConceptId id) {
  if (is_atomic(pool, id)) return true;
  const auto* conjunction = std::get_if<And>(&pool.get(id));
  return conjunction != nullptr && std::ranges::all_of(conjunction->members, [&](ConceptId m) {
           return is_atomic(pool, m);
         });
}

// ∃r.A, directly or as a member of a conjunction.
bool holds_some_with_class_filler(const ConceptPool& pool, ConceptId id) {
  auto some_with_class = [&](ConceptId c) {
    const auto* some = std::get_if<Some>(&pool.get(c));
    return some != nullptr && is_atomic(pool, some->filler);
  };
  if (some_with_class(id)) return true;
  const auto* conjunction = std::get_if<And>(&pool.get(id));
  return conjunction != nullptr && std::ranges::any_of(conjunction->members, some_with_class);
}

bool composes_roles(const Axiom& axiom) {
  if (std::holds_alternative<TransitiveRole>(axiom)) return true;
  const auto* sub = std::get_if<SubObjectPropertyOf>(&axiom);
  return sub != nullptr && std::holds_alternative<Chain>(sub->sub);
}

bool simple_axiom(const ConceptPool& pool, const Axiom& axiom) {
  return std::visit(
      [&]<class A>(const A& a) {
        if constexpr (std::is_same_v<A, SubClassOf>) {
          return is_atomic(pool, a.sub) && simple_concept(pool, a.sup);
        } else if constexpr (std::is_same_v<A, EquivalentClasses>) {
          return std::ranges::all_of(a.members, [&](ConceptId m) { return is_atomic(pool, m); });
        } else if constexpr (std::is_same_v<A, SubObjectPropertyOf>) {
          if (const auto* single = std::get_if<Single>(&a.sub)) return single->role.is_named();
          const std::size_t length = std::get<Chain>(a.sub).roles.size();
          return length == 2 || length == 3;
        } else if constexpr (std::is_same_v<A, ObjectPropertyDomain>) {
          return a.role.is_named() && atomic_or_conjunction(pool, a.domain);
        } else if constexpr (std::is_same_v<A, ObjectPropertyRange>) {
          return a.role.is_named() && atomic_or_conjunction(pool, a.range);
        } else if constexpr (std::is_same_v<A, ClassAssertion>) {
          return simple_concept(pool, a.concept_id);
        } else if constexpr (std::is_same_v<A, DisjointUnion> || std::is_same_v<A, EquivalentObjectProperties> ||
                             std::is_same_v<A, ReflexiveRole> || std::is_same_v<A, FunctionalRole> ||
                             std::is_same_v<A, InverseFunctionalRole>) {
          return false;
        } else {
          return true;
        }
      },
      axiom);
}

}  // namespace

bool simple_concept(const ConceptPool& pool, ConceptId concept_id) {
  // Conjunctions are flat (the pool's builders), so one level of members suffices,
  // but nothing forbids nesting, so walk with a stack.
  std::vector<ConceptId> stack = {concept_id};
  while (!stack.empty()) {
    const Concept& c = pool.get(stack.back());
    stack.pop_back();
    if (std::holds_alternative<Top>(c) || std::holds_alternative<Bottom>(c) || std::holds_alternative<Atomic>(c)) {
      continue;
    }
    if (const auto* conjunction = std::get_if<And>(&c)) {
      stack.insert(stack.end(), conjunction->members.begin(), conjunction->members.end());
      continue;
    }
    const auto* some = std::get_if<Some>(&c);
    if (some == nullptr) return false;
    const Concept& filler = pool.get(some->filler);
    const bool class_filler = std::holds_alternative<Atomic>(filler) && some->role.is_named();
    if (!class_filler && !std::holds_alternative<Nominal>(filler)) return false;
  }
  return true;
}

bool simple_tbox(const InternalOntology& ir) {
  const ConceptPool& pool = ir.concepts;
  if (!std::ranges::all_of(ir.axioms, [&](const Axiom& a) { return simple_axiom(pool, a); })) return false;
  // A transitive role or a chain can compose the edge to an anonymous witness
  // of ∃r.A with edges out of that witness, reaching named individuals no
  // saturation edge connects (A ⊑ ∃r.B, B ⊑ ∃r.{c}, r transitive: r(a, c)).
  if (!std::ranges::any_of(ir.axioms, composes_roles)) return true;
  return std::ranges::none_of(ir.axioms, [&](const Axiom& a) {
    if (const auto* sub = std::get_if<SubClassOf>(&a)) return holds_some_with_class_filler(pool, sub->sup);
    if (const auto* assertion = std::get_if<ClassAssertion>(&a)) {
      return holds_some_with_class_filler(pool, assertion->concept_id);
    }
    return false;
  });
}

}  // namespace kelmon::reasoner
