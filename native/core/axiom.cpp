#include "core/axiom.h"

#include <algorithm>
#include <array>

#include "common/radix_sort.h"

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

// A number that orders as the axiom does among axioms of its kind wherever it
// differs, and whether it decides alone: for the kinds of two ids or one it is
// the ids themselves; for class lists the first two ids, and the full
// comparison breaks ties.
std::uint64_t leading_key(const Axiom& a, bool& exact) {
  auto ids = [](std::uint32_t first, std::uint32_t second) { return (std::uint64_t{first} << 32) | second; };
  auto list = [](const std::vector<ConceptId>& m) {
    // A missing element orders first, as 0 does (0 ties with it and is resolved in full).
    if (m.empty()) return std::uint64_t{0};
    return (std::uint64_t{m[0].v} << 32) | (m.size() > 1 ? m[1].v : 0u);
  };
  exact = true;
  if (const auto* x = std::get_if<SubClassOf>(&a)) return ids(x->sub.v, x->sup.v);
  if (const auto* x = std::get_if<ClassAssertion>(&a)) return ids(x->concept_id.v, x->individual.v);
  if (const auto* x = std::get_if<DeclareClass>(&a)) return x->cls.v;
  if (const auto* x = std::get_if<DeclareObjectProperty>(&a)) return x->role.v;
  if (const auto* x = std::get_if<DeclareNamedIndividual>(&a)) return x->individual.v;
  exact = false;
  if (const auto* x = std::get_if<EquivalentClasses>(&a)) return list(x->members);
  if (const auto* x = std::get_if<DisjointClasses>(&a)) return list(x->members);
  return 0;
}

}  // namespace

// Sorting the variants themselves would move each many times: positions are
// grouped by kind, sorted within a kind on a leading number (by radix where the
// number decides alone, else by comparison with the full order breaking ties
// and the position keeping the sort stable), and every axiom is moved once.
void sort_axioms(std::vector<Axiom>& axioms) {
  struct Entry {
    std::uint64_t lead;
    std::uint32_t pos;
  };
  const std::size_t n = axioms.size();
  std::vector<Entry> order(n);
  std::array<std::size_t, kAxiomKindCount + 1> kind_start{};
  std::array<bool, kAxiomKindCount> exact{};
  for (const Axiom& a : axioms) ++kind_start[axiom_kind_number(a) + 1];
  for (std::size_t k = 1; k <= kAxiomKindCount; ++k) kind_start[k] += kind_start[k - 1];
  {
    std::array<std::size_t, kAxiomKindCount> fill{};
    std::copy(kind_start.begin(), kind_start.end() - 1, fill.begin());
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint32_t kind = axiom_kind_number(axioms[i]);
      bool decides = false;
      order[fill[kind]++] = Entry{leading_key(axioms[i], decides), static_cast<std::uint32_t>(i)};
      exact[kind] = decides;
    }
  }
  std::vector<Entry> scratch;
  for (std::size_t k = 0; k < kAxiomKindCount; ++k) {
    Entry* first = order.data() + kind_start[k];
    Entry* last = order.data() + kind_start[k + 1];
    if (exact[k]) {
      // Declarations are visited in the order their ids were given: often sorted already.
      auto by_lead = [](const Entry& x, const Entry& y) { return x.lead < y.lead; };
      if (!std::is_sorted(first, last, by_lead)) radix_sort(first, last, [](const Entry& e) { return e.lead; }, scratch);
      continue;
    }
    std::sort(first, last, [&](const Entry& x, const Entry& y) {
      if (x.lead != y.lead) return x.lead < y.lead;
      std::strong_ordering c = axioms[x.pos] <=> axioms[y.pos];
      if (c != 0) return c < 0;
      return x.pos < y.pos;
    });
  }
  // Moved into a new vector in sorted order: the reads are independent of
  // each other, so the memory system serves many at once.
  std::vector<Axiom> sorted;
  sorted.reserve(n);
  for (const Entry& e : order) sorted.push_back(std::move(axioms[e.pos]));
  axioms = std::move(sorted);
}

}  // namespace kelmon
