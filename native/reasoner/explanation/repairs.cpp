#include "reasoner/explanation/repairs.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "owl/structural.h"
#include "reasoner/explanation/axiom_order.h"
#include "reasoner/explanation/hitting_sets.h"
#include "reasoner/explanation/subset_ontology.h"

namespace kelmon::explain {

namespace {

// An axiom is named by its order key: keys sort in ascending axiom order.
using Key = std::string;

Key order_key(const owl::Axiom& axiom) {
  Key key;
  owl::append_structural_key(axiom, key, owl::OperandOrder::SuperFirst);
  return key;
}

}  // namespace

bool repair_order(const std::vector<owl::Axiom>& a, const std::vector<owl::Axiom>& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  for (std::size_t i = 0; i < a.size(); ++i) {
    const int c = compare_axiom_order(a[i], b[i]);
    if (c != 0) return c < 0;
  }
  return false;
}

Result<RepairResult> find_repairs(EntailmentOracle& oracle, const PreparedOntology& prepared,
                                  const JustifyQuery& query, std::uint64_t max) {
  auto justifications = prepared.find_all_justifications(oracle, query, kRepairJustificationCap);
  if (!justifications) return std::unexpected(justifications.error());
  RepairResult result;
  if (justifications->empty()) return result;

  // The axioms of the justifications, numbered in ascending axiom order.
  std::map<Key, owl::Axiom> axiom_of;
  std::vector<std::vector<Key>> keyed;
  for (const auto& [j, kind] : *justifications) {
    std::vector<Key> keys;
    for (const owl::Axiom& a : j) {
      keys.push_back(order_key(a));
      axiom_of.try_emplace(keys.back(), a);
    }
    keyed.push_back(std::move(keys));
  }
  std::vector<const owl::Axiom*> axioms;
  std::map<std::string_view, std::uint32_t> index_of;
  for (const auto& [key, axiom] : axiom_of) {
    index_of.emplace(key, static_cast<std::uint32_t>(axioms.size()));
    axioms.push_back(&axiom);
  }
  std::vector<std::vector<std::uint32_t>> sets;
  for (const auto& j : keyed) {
    std::vector<std::uint32_t> set;
    for (const Key& k : j) set.push_back(index_of.at(k));
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    sets.push_back(std::move(set));
  }
  if (max == 0) return result;

  // The confirmations run after the search has put the oracle mode back, so
  // they use the full tests whatever the search used.
  const std::vector<owl::Axiom> background = search_background(prepared.non_logical, prepared.logical, query);
  // Each logical axiom's number among the justification axioms, if it is one.
  std::vector<std::optional<std::uint32_t>> number_of(prepared.logical.size());
  for (std::size_t i = 0; i < prepared.logical.size(); ++i)
    if (auto it = index_of.find(order_key(prepared.logical[i])); it != index_of.end()) number_of[i] = it->second;
  // Not entailed without the hitting set: a repair.
  auto removal_repairs = [&](const std::vector<std::uint32_t>& h) -> Result<bool> {
    std::vector<const owl::Axiom*> rest;
    for (std::size_t i = 0; i < prepared.logical.size(); ++i)
      if (!number_of[i] || !std::binary_search(h.begin(), h.end(), *number_of[i])) rest.push_back(&prepared.logical[i]);
    auto entailed = oracle.entails(build_subset_ontology(background, rest), query);
    if (!entailed) return entailed;
    return !*entailed;
  };
  // Hitting sets come smallest first and, within a size, in axiom order, so
  // the search stops as soon as enough are confirmed.
  std::optional<ReasonerError> error;
  for_each_minimal_hitting_set(sets, static_cast<std::uint32_t>(axioms.size()), [&](const auto& h) {
    auto repairs = removal_repairs(h);
    if (!repairs) {
      error = repairs.error();
      return false;
    }
    if (!*repairs) {
      ++result.rejected;
      return true;
    }
    std::vector<owl::Axiom> repair;
    for (std::uint32_t e : h) repair.push_back(*axioms[e]);
    result.repairs.push_back(std::move(repair));
    return result.repairs.size() < max;
  });
  if (error) return std::unexpected(*error);
  return result;
}

}  // namespace kelmon::explain
