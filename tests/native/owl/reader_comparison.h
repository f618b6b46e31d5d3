#pragma once
// Comparing what two readers give for the same ontology: structural keys of missing
// axioms, logical axioms with set-valued operands in a canonical order, and short
// descriptions of the non-logical differences.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "owl/axiom_set.h"
#include "owl/structural.h"

namespace kelmon::owl {

inline std::string key_of(const AnnotatedAxiom& a) {
  std::string k;
  append_structural_key(a, k);
  return k;
}

// The axioms of `a` missing from `b`, as structural keys (readable enough to name
// the IRIs involved).
inline std::vector<std::string> missing_from(const AxiomSet& a, const AxiomSet& b) {
  std::vector<std::string> out;
  for (const auto& ax : a)
    if (!b.contains(ax)) out.push_back(key_of(ax));
  return out;
}

inline bool is_logical(const Axiom& a) {
  if (is_ontology_level(a) || is_declaration(a)) return false;
  switch (kind_of(a)) {
    case AxiomKind::AnnotationAssertion:
    case AxiomKind::SubAnnotationPropertyOf:
    case AxiomKind::AnnotationPropertyDomain:
    case AxiomKind::AnnotationPropertyRange:
      return false;
    default:
      return true;
  }
}

// Documents written by different tools list the operands of set-valued constructs in
// different orders, while the model keeps them as written; the comparison of two
// documents sorts them first. (Test-only recursion: corpus nesting is shallow.)
inline ClassExpression canonical(const ClassExpression& c);

template <class T, class Less>
inline std::vector<T> sorted(std::vector<T> v, Less less) {
  std::sort(v.begin(), v.end(), less);
  return v;
}

inline std::vector<ClassExpression> canonical_set(const std::vector<ClassExpression>& v) {
  std::vector<ClassExpression> out;
  for (const auto& c : v) out.push_back(canonical(c));
  return sorted(std::move(out), [](const ClassExpression& a, const ClassExpression& b) {
    return compare_class_expressions(a, b) < 0;
  });
}

inline std::string individual_key(const Individual& i) {
  if (auto* n = std::get_if<NamedIndividual>(&i)) return "n" + std::string(n->iri.str());
  return "a" + std::string(std::get<AnonymousIndividual>(i).node_id.str());
}
inline std::vector<Individual> canonical_set(const std::vector<Individual>& v) {
  return sorted(v, [](const Individual& a, const Individual& b) {
    return individual_key(a) < individual_key(b);
  });
}

inline ClassExpression canonical(const ClassExpression& c) {
  return std::visit(
      [&](const auto& k) -> ClassExpression {
        using K = std::decay_t<decltype(k)>;
        if constexpr (std::is_same_v<K, ObjectIntersectionOf>) {
          return ObjectIntersectionOf{canonical_set(k.operands)};
        } else if constexpr (std::is_same_v<K, ObjectUnionOf>) {
          return ObjectUnionOf{canonical_set(k.operands)};
        } else if constexpr (std::is_same_v<K, ObjectOneOf>) {
          return ObjectOneOf{canonical_set(k.individuals)};
        } else if constexpr (std::is_same_v<K, ObjectComplementOf>) {
          return ObjectComplementOf{canonical(k.operand)};
        } else if constexpr (requires { k.filler.kind(); k.property.index(); }) {
          K copy = k;
          if constexpr (std::is_same_v<decltype(K::filler), ClassExpression>)
            copy.filler = canonical(k.filler);
          return copy;
        } else {
          return c;
        }
      },
      c.data());
}

inline Axiom canonical(const Axiom& a) {
  if (auto* s = std::get_if<SubClassOf>(&a)) return SubClassOf{canonical(s->sub), canonical(s->sup)};
  if (auto* e = std::get_if<EquivalentClasses>(&a)) return EquivalentClasses{canonical_set(e->members)};
  if (auto* d = std::get_if<DisjointClasses>(&a)) return DisjointClasses{canonical_set(d->members)};
  if (auto* u = std::get_if<DisjointUnion>(&a)) return DisjointUnion{u->cls, canonical_set(u->members)};
  if (auto* d = std::get_if<ObjectPropertyDomain>(&a))
    return ObjectPropertyDomain{d->property, canonical(d->domain)};
  if (auto* r = std::get_if<ObjectPropertyRange>(&a))
    return ObjectPropertyRange{r->property, canonical(r->range)};
  if (auto* c = std::get_if<ClassAssertion>(&a))
    return ClassAssertion{canonical(c->class_expression), c->individual};
  if (auto* s = std::get_if<SameIndividual>(&a)) return SameIndividual{canonical_set(s->members)};
  if (auto* d = std::get_if<DifferentIndividuals>(&a))
    return DifferentIndividuals{canonical_set(d->members)};
  // A document may state the inverse pair from either side.
  if (auto* i = std::get_if<InverseObjectProperties>(&a)) {
    auto key = [](const ObjectPropertyExpression& p) {
      return std::string(named_property(p).iri.str()) + (is_inverse(p) ? "^-" : "");
    };
    if (key(i->second) < key(i->first)) return InverseObjectProperties{i->second, i->first};
  }
  return a;
}

inline AxiomSet logical_axioms(const AxiomSet& all) {
  AxiomSet out;
  for (const auto& a : all)
    if (is_logical(a.axiom)) out.insert(AnnotatedAxiom{canonical(a.axiom), {}});
  return out;
}

inline AxiomSet canonical_axioms(const AxiomSet& all) {
  AxiomSet out;
  for (const auto& a : all) out.insert(AnnotatedAxiom{canonical(a.axiom), a.annotations});
  return out;
}

inline std::string literal_form(const AnnotationValue& v) {
  const auto* lit = std::get_if<Literal>(&v);
  if (!lit) return "non-literal";
  if (lit->form == LiteralForm::Plain) return "plain";
  if (lit->form == LiteralForm::Typed) return std::string(lit->datatype.iri.str());
  return "language-tagged";
}

// Short descriptions of the axioms of `a` missing from `b`: the kind and the subject.
inline std::multiset<std::string> described_missing(const AxiomSet& a, const AxiomSet& b) {
  std::multiset<std::string> out;
  for (const auto& ax : a) {
    if (b.contains(ax)) continue;
    if (auto* d = std::get_if<DeclareNamedIndividual>(&ax.axiom)) {
      out.insert("Declaration(NamedIndividual(" + std::string(d->entity.iri.str()) + "))");
    } else if (auto* aa = std::get_if<AnnotationAssertion>(&ax.axiom)) {
      out.insert("AnnotationAssertion(" + std::string(std::get<Iri>(aa->subject).str()) + " " +
                 literal_form(aa->value) + ")");
    } else if (auto* oa = std::get_if<OntologyAnnotation>(&ax.axiom)) {
      out.insert("OntologyAnnotation(" + std::string(oa->annotation.property.iri.str()) + " " +
                 literal_form(oa->annotation.value) + ")");
    } else {
      out.insert(key_of(ax));
    }
  }
  return out;
}

}  // namespace kelmon::owl
