#include "core/axiom.h"

#include <algorithm>

namespace kelmon {

std::string_view axiom_kind_name(AxiomKind kind) {
  static constexpr std::string_view kNames[kAxiomKindCount] = {
      "SubClassOf",
      "EquivalentClasses",
      "DisjointClasses",
      "DisjointUnion",
      "SubObjectPropertyOf",
      "EquivalentObjectProperties",
      "DisjointObjectProperties",
      "InverseObjectProperties",
      "ObjectPropertyDomain",
      "ObjectPropertyRange",
      "TransitiveRole",
      "SymmetricRole",
      "AsymmetricRole",
      "ReflexiveRole",
      "IrreflexiveRole",
      "FunctionalRole",
      "InverseFunctionalRole",
      "ClassAssertion",
      "ObjectPropertyAssertion",
      "NegativeObjectPropertyAssertion",
      "SameIndividual",
      "DifferentIndividuals",
      "DeclareClass",
      "DeclareObjectProperty",
      "DeclareNamedIndividual",
  };
  return kNames[static_cast<std::uint32_t>(kind)];
}

std::strong_ordering axiom_cmp(const Axiom& a, const Axiom& b) { return a <=> b; }

bool axiom_less(const Axiom& a, const Axiom& b) { return (a <=> b) < 0; }

std::strong_ordering sub_role_cmp(const SubRole& a, const SubRole& b) { return a <=> b; }

std::strong_ordering role_slice_cmp(std::span<const Role> a, std::span<const Role> b) {
  return std::lexicographical_compare_three_way(a.begin(), a.end(), b.begin(), b.end());
}

void sort_axioms(std::vector<Axiom>& axioms) { std::stable_sort(axioms.begin(), axioms.end(), axiom_less); }

}  // namespace kelmon
