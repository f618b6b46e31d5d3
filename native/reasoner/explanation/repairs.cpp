#include "reasoner/explanation/repairs.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "owl/structural.h"
#include "reasoner/explanation/axiom_order.h"
#include "reasoner/explanation/subset_ontology.h"

namespace kelmon::explain {

namespace {

// An axiom is named by its order key, so that a sorted list of keys is an
// ordered set of axioms in ascending axiom order.
using Key = std::string;
using KeySet = std::vector<Key>;  // sorted, duplicate-free

Key order_key(const owl::Axiom& axiom) {
  Key key;
  owl::append_structural_key(axiom, key, owl::OperandOrder::SuperFirst);
  return key;
}

bool is_subset(const KeySet& small, const KeySet& big) {
  return std::includes(big.begin(), big.end(), small.begin(), small.end());
}

bool meets(const KeySet& a, const KeySet& b) {
  auto i = a.begin();
  auto j = b.begin();
  while (i != a.end() && j != b.end()) {
    if (*i < *j) ++i;
    else if (*j < *i) ++j;
    else return true;
  }
  return false;
}

bool key_set_order(const KeySet& a, const KeySet& b) {
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// The minimal hitting sets of the justification sets, in the order found.
std::vector<KeySet> minimal_hitting_sets(const std::vector<KeySet>& justifications) {
  std::vector<KeySet> stack{KeySet{}};
  std::set<KeySet> visited;
  std::vector<KeySet> found;
  while (!stack.empty()) {
    KeySet h = std::move(stack.back());
    stack.pop_back();
    if (!visited.insert(h).second) continue;
    if (std::any_of(found.begin(), found.end(), [&](const KeySet& f) { return is_subset(f, h); })) continue;
    const auto missed = std::find_if(justifications.begin(), justifications.end(),
                                     [&](const KeySet& j) { return !meets(j, h); });
    if (missed != justifications.end()) {
      for (const Key& a : *missed) {
        KeySet child = h;
        child.insert(std::lower_bound(child.begin(), child.end(), a), a);
        stack.push_back(std::move(child));
      }
      continue;
    }
    std::erase_if(found, [&](const KeySet& f) { return is_subset(h, f); });
    found.push_back(std::move(h));
  }
  return found;
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

  std::map<Key, owl::Axiom> axiom_of;
  std::vector<KeySet> sets;
  for (const auto& [j, kind] : *justifications) {
    KeySet set;
    for (const owl::Axiom& a : j) {
      Key key = order_key(a);
      axiom_of.try_emplace(key, a);
      set.push_back(std::move(key));
    }
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    sets.push_back(std::move(set));
  }
  std::vector<KeySet> hitting = minimal_hitting_sets(sets);
  std::stable_sort(hitting.begin(), hitting.end(), key_set_order);
  if (max == 0) return result;

  // The confirmations run after the search has put the oracle mode back, so
  // they use the full tests whatever the search used.
  const std::vector<owl::Axiom> background = search_background(prepared.non_logical, prepared.logical, query);
  std::vector<Key> logical_keys;
  logical_keys.reserve(prepared.logical.size());
  for (const owl::Axiom& a : prepared.logical) logical_keys.push_back(order_key(a));
  for (const KeySet& h : hitting) {
    if (result.repairs.size() >= max) break;
    std::vector<const owl::Axiom*> rest;
    for (std::size_t i = 0; i < prepared.logical.size(); ++i)
      if (!std::binary_search(h.begin(), h.end(), logical_keys[i])) rest.push_back(&prepared.logical[i]);
    auto entailed = oracle.entails(build_subset_ontology(background, rest), query);
    if (!entailed) return std::unexpected(entailed.error());
    if (*entailed) {
      ++result.rejected;
      continue;
    }
    std::vector<owl::Axiom> repair;
    repair.reserve(h.size());
    for (const Key& k : h) repair.push_back(axiom_of.at(k));
    result.repairs.push_back(std::move(repair));
  }
  return result;
}

}  // namespace kelmon::explain
