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

namespace {

// A number that orders as the axiom does wherever it differs: the kind in the
// top byte, then, for the common kinds, the first id and the high bits of the
// second. Equal numbers say nothing; the full comparison decides then.
std::uint64_t leading_key(const Axiom& a) {
  auto ids = [](std::uint32_t first, std::uint32_t second) {
    return (std::uint64_t{first} << 24) | (second >> 8);
  };
  auto list = [&](const std::vector<ConceptId>& m) {
    // A missing element orders first, as 0 does (0 ties with it and is resolved in full).
    return m.empty() ? 0 : ids(m[0].v, m.size() > 1 ? m[1].v : 0);
  };
  std::uint64_t rest = 0;
  if (const auto* x = std::get_if<SubClassOf>(&a)) rest = ids(x->sub.v, x->sup.v);
  else if (const auto* x = std::get_if<EquivalentClasses>(&a)) rest = list(x->members);
  else if (const auto* x = std::get_if<DisjointClasses>(&a)) rest = list(x->members);
  else if (const auto* x = std::get_if<ClassAssertion>(&a)) rest = ids(x->concept_id.v, x->individual.v);
  else if (const auto* x = std::get_if<DeclareClass>(&a)) rest = ids(x->cls.v, 0);
  else if (const auto* x = std::get_if<DeclareObjectProperty>(&a)) rest = ids(x->role.v, 0);
  else if (const auto* x = std::get_if<DeclareNamedIndividual>(&a)) rest = ids(x->individual.v, 0);
  return (std::uint64_t{axiom_kind_number(a)} << 56) | rest;
}

}  // namespace

// Sorting the variants themselves would move each many times: positions are
// sorted on a leading number (the full comparison only breaks its ties, the
// position keeps the sort stable) and every axiom is moved about once, in place.
void sort_axioms(std::vector<Axiom>& axioms) {
  struct Entry {
    std::uint64_t lead;
    std::uint32_t pos;
  };
  std::vector<Entry> order(axioms.size());
  for (std::size_t i = 0; i < axioms.size(); ++i) order[i] = Entry{leading_key(axioms[i]), static_cast<std::uint32_t>(i)};
  std::sort(order.begin(), order.end(), [&](const Entry& x, const Entry& y) {
    if (x.lead != y.lead) return x.lead < y.lead;
    std::strong_ordering c = axioms[x.pos] <=> axioms[y.pos];
    if (c != 0) return c < 0;
    return x.pos < y.pos;
  });
  // Place by following each cycle of the permutation; a placed slot points at itself.
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start].pos == start) continue;
    Axiom held = std::move(axioms[start]);
    std::size_t at = start;
    for (;;) {
      std::size_t from = order[at].pos;
      order[at].pos = static_cast<std::uint32_t>(at);
      if (from == start) {
        axioms[at] = std::move(held);
        break;
      }
      axioms[at] = std::move(axioms[from]);
      at = from;
    }
  }
}

}  // namespace kelmon
