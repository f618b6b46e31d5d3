#include "reasoner/kernel/wedge_order.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

namespace kelmon::reasoner {

void order_individuals_for_search(const Vocabulary& vocabulary, WedgeClauseSet& wedge) {
  const std::uint32_t first = wedge.class_count;
  const std::uint32_t n = wedge.individual_count;
  if (n < 2 || vocabulary.individuals.size() < n) return;
  std::vector<std::uint64_t> degree(n, 0);
  for (const AboxRoleAssertion& a : wedge.abox.role_assertions) {
    if (a.subject < n) ++degree[a.subject];
    if (a.object < n) ++degree[a.object];
  }
  std::vector<std::uint32_t> order(n);
  std::iota(order.begin(), order.end(), 0U);
  auto name = [&](std::uint32_t i) { return vocabulary.individuals.name(IndividualId{i}); };
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    if (degree[a] != degree[b]) return degree[a] < degree[b];
    return name(a) < name(b);
  });
  std::vector<std::uint32_t> renamed(n);
  for (std::uint32_t k = 0; k < n; ++k) renamed[order[k]] = k;

  auto rename_class = [&](std::uint32_t& cls) {
    if (cls >= first && cls - first < n) cls = first + renamed[cls - first];
  };
  for (DlClause& clause : wedge.clauses)
    for (std::vector<ClauseAtom>* atoms : {&clause.body, &clause.head})
      for (ClauseAtom& atom : *atoms) {
        switch (atom.atom_kind()) {
          case ClauseAtomKind::ConceptAtom:
          case ClauseAtomKind::ExistsAtom: rename_class(atom.a); break;
          case ClauseAtomKind::AtMostAtom:
          case ClauseAtomKind::AtLeastAtom:
            if (atom.flag != 0) rename_class(atom.filler);
            break;
          case ClauseAtomKind::RoleAtom: break;
        }
      }
  auto rename = [&](std::uint32_t& i) {
    if (i < n) i = renamed[i];
  };
  for (AboxRoleAssertion& a : wedge.abox.role_assertions) {
    rename(a.subject);
    rename(a.object);
  }
  for (auto& [a, b] : wedge.abox.equalities) {
    rename(a);
    rename(b);
  }
}

}  // namespace kelmon::reasoner
