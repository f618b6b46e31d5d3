#include "reasoner/kernel/ontology_scans.h"

#include <algorithm>

#include "common/overload.h"

namespace kelmon::reasoner {

namespace {

// True when `hit` holds for a concept the walk from `root` reaches. Explicit
// stack: concept nesting follows the input; shared sub-concepts are walked once.
template <class Hit>
bool walk_reaches(const ConceptPool& pool, ConceptId root, Hit&& hit) {
  std::vector<ConceptId> stack{root};
  tsl::robin_set<std::uint32_t> seen;
  while (!stack.empty()) {
    ConceptId id = stack.back();
    stack.pop_back();
    if (!seen.insert(id.v).second) continue;
    const Concept& c = pool.get(id);
    if (hit(c)) return true;
    std::visit(Overload{
                   [&](const Not& x) { stack.push_back(x.operand); },
                   [&](const Some& x) { stack.push_back(x.filler); },
                   [&](const All& x) { stack.push_back(x.filler); },
                   [&](const Min& x) { stack.push_back(x.filler); },
                   [&](const Max& x) { stack.push_back(x.filler); },
                   [&](const And& x) { stack.insert(stack.end(), x.members.begin(), x.members.end()); },
                   [&](const Or& x) { stack.insert(stack.end(), x.members.begin(), x.members.end()); },
                   [](const auto&) {},
               },
               c);
  }
  return false;
}

// The filler of a Min or Max, or nothing for any other concept.
std::optional<ConceptId> cardinality_filler(const Concept& c) {
  if (const auto* m = std::get_if<Min>(&c)) return m->filler;
  if (const auto* m = std::get_if<Max>(&c)) return m->filler;
  return std::nullopt;
}

template <class Set>
bool mentions_cardinality_over(const ConceptPool& pool, ConceptId concept_id, const Set& classes) {
  if (classes.empty()) return false;
  return walk_reaches(pool, concept_id, [&](const Concept& c) {
    auto filler = cardinality_filler(c);
    if (!filler) return false;
    const auto* a = std::get_if<Atomic>(&pool.get(*filler));
    return a != nullptr && classes.contains(a->cls);
  });
}

// 1 for a nominal, n for a union of n nominals, nothing otherwise.
std::optional<std::uint32_t> nominal_count(const ConceptPool& pool, ConceptId id) {
  const Concept& c = pool.get(id);
  if (std::holds_alternative<Nominal>(c)) return 1;
  const auto* o = std::get_if<Or>(&c);
  if (o == nullptr) return std::nullopt;
  for (ConceptId m : o->members)
    if (!std::holds_alternative<Nominal>(pool.get(m))) return std::nullopt;
  return static_cast<std::uint32_t>(o->members.size());
}

void lower_bound_to(NominalBounds& bounds, ClassId cls, std::uint32_t bound) {
  auto [it, inserted] = bounds.try_emplace(cls, bound);
  if (!inserted && bound < it->second) it.value() = bound;
}

}  // namespace

bool is_assertion(const Axiom& axiom) {
  switch (axiom_kind(axiom)) {
    case AxiomKind::ClassAssertion:
    case AxiomKind::ObjectPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion:
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals: return true;
    default: return false;
  }
}

bool has_assertion(const std::vector<Axiom>& axioms) { return std::any_of(axioms.begin(), axioms.end(), is_assertion); }

bool mentions_nominal(ConceptId concept_id, const ConceptPool& pool) {
  return walk_reaches(pool, concept_id, [](const Concept& c) { return std::holds_alternative<Nominal>(c); });
}

bool mentions_key_cardinality(const ConceptPool& pool, ConceptId concept_id, const DKeyMap& dkeys) {
  return mentions_cardinality_over(pool, concept_id, dkeys);
}

bool mentions_bounded_cardinality(const ConceptPool& pool, ConceptId concept_id, const NominalBounds& nominal_bound) {
  return mentions_cardinality_over(pool, concept_id, nominal_bound);
}

bool mentions_complex_cardinality(const ConceptPool& pool, ConceptId concept_id) {
  return walk_reaches(pool, concept_id, [&](const Concept& c) {
    auto filler = cardinality_filler(c);
    if (!filler) return false;
    const Concept& f = pool.get(*filler);
    return !(std::holds_alternative<Top>(f) || std::holds_alternative<Bottom>(f) || std::holds_alternative<Atomic>(f));
  });
}

bool tbox_mentions_nominal(const InternalOntology& ir) {
  const ConceptPool& pool = ir.concepts;
  auto nominal = [&](ConceptId c) { return mentions_nominal(c, pool); };
  auto any = [&](const std::vector<ConceptId>& list) { return std::any_of(list.begin(), list.end(), nominal); };
  for (const Axiom& axiom : ir.axioms) {
    bool found = std::visit(Overload{
                                [&](const SubClassOf& x) { return nominal(x.sub) || nominal(x.sup); },
                                [&](const EquivalentClasses& x) { return any(x.members); },
                                [&](const DisjointClasses& x) { return any(x.members); },
                                [&](const DisjointUnion& x) { return any(x.parts); },
                                // A nominal range or domain ties the asserted individuals to every use of the role.
                                [&](const ObjectPropertyDomain& x) { return nominal(x.domain); },
                                [&](const ObjectPropertyRange& x) { return nominal(x.range); },
                                [](const auto&) { return false; },
                            },
                            axiom);
    if (found) return true;
  }
  return false;
}

bool abox_touches_tbox(const InternalOntology& ir) {
  if (tbox_mentions_nominal(ir)) return true;
  for (const Axiom& axiom : ir.axioms)
    if (const auto* a = std::get_if<ClassAssertion>(&axiom); a != nullptr && mentions_nominal(a->concept_id, ir.concepts))
      return true;
  return false;
}

NominalBounds collect_nominal_bounds(const InternalOntology& ir) {
  NominalBounds bounds;
  const ConceptPool& pool = ir.concepts;
  for (const Axiom& axiom : ir.axioms) {
    if (const auto* s = std::get_if<SubClassOf>(&axiom)) {
      const auto* a = std::get_if<Atomic>(&pool.get(s->sub));
      if (a == nullptr) continue;
      if (auto n = nominal_count(pool, s->sup)) lower_bound_to(bounds, a->cls, *n);
    } else if (const auto* e = std::get_if<EquivalentClasses>(&axiom)) {
      std::optional<std::uint32_t> bound;
      for (ConceptId m : e->members)
        if (auto n = nominal_count(pool, m)) bound = bound ? std::min(*bound, *n) : *n;
      if (!bound) continue;
      for (ConceptId m : e->members)
        if (const auto* a = std::get_if<Atomic>(&pool.get(m))) lower_bound_to(bounds, a->cls, *bound);
    }
  }
  return bounds;
}

DKeyMap collect_dkeys(const Vocabulary& vocabulary) {
  DKeyMap out;
  const auto& names = vocabulary.classes.names();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (auto value = decode_dkey_value(*names[i])) out.emplace(ClassId{static_cast<std::uint32_t>(i)}, std::move(*value));
  }
  return out;
}

}  // namespace kelmon::reasoner
