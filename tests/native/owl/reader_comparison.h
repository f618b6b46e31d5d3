#pragma once
// Comparing what two readers give for the same ontology: structural keys of missing
// axioms, logical axioms with set-valued operands in a canonical order (canonical_axiom.h),
// and short descriptions of the non-logical differences.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "canonical_axiom.h"
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

inline AxiomSet logical_axioms(const AxiomSet& all) {
  AxiomSet out;
  for (const auto& a : all)
    if (is_logical(a.axiom)) out.insert(AnnotatedAxiom{testing::canonical(a.axiom), {}});
  return out;
}

inline AxiomSet canonical_axioms(const AxiomSet& all) {
  AxiomSet out;
  for (const auto& a : all) out.insert(AnnotatedAxiom{testing::canonical(a.axiom), a.annotations});
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

// The non-logical differences between pizza.ofn and the pizza.owx / pizza.omn documents
// of the corpus, as `described_missing` names them: those documents declare the five
// country individuals, and two of their comments and the "version 1.5" ontology
// annotation are plain literals where the functional one types them as xsd:string.
struct PizzaDifferences {
  std::multiset<std::string> only_other, only_functional;
};

inline PizzaDifferences pizza_differences_from_functional() {
  const std::string pz = "http://www.co-ode.org/ontologies/pizza/pizza.owl#";
  const std::string xs = "http://www.w3.org/2001/XMLSchema#string";
  PizzaDifferences d;
  for (const char* c : {"America", "England", "France", "Germany", "Italy"})
    d.only_other.insert("Declaration(NamedIndividual(" + pz + c + "))");
  for (const char* c : {"UnclosedPizza", "ValuePartition"}) {
    d.only_other.insert("AnnotationAssertion(" + pz + c + " plain)");
    d.only_functional.insert("AnnotationAssertion(" + pz + c + " " + xs + ")");
  }
  const std::string version_info = "http://www.w3.org/2002/07/owl#versionInfo";
  d.only_other.insert("OntologyAnnotation(" + version_info + " plain)");
  d.only_functional.insert("OntologyAnnotation(" + version_info + " " + xs + ")");
  return d;
}

}  // namespace kelmon::owl
