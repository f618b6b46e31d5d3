#include "reasoner/explanation/justification_search.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "owl/structural.h"
#include "reasoner/explanation/candidates.h"
#include "reasoner/explanation/oracle_mode.h"
#include "reasoner/explanation/subset_ontology.h"

namespace kelmon::explain {

namespace {

using Indices = std::vector<std::uint32_t>;

// QuickXplain over candidate indices: `background` holds the indices added to
// the search's background, `subset` those to minimise; the answer keeps
// candidate order because D1 comes from the front half.
class QuickXplain {
 public:
  QuickXplain(EntailmentOracle& oracle, const std::vector<owl::Axiom>& background,
              const std::vector<owl::Axiom>& candidates, const JustifyQuery& query)
      : oracle_(oracle), background_(background), candidates_(candidates), query_(query) {}

  Result<Indices> run(const Indices& extra, bool check, std::span<const std::uint32_t> subset) {
    if (check) {
      auto entailed = entails(extra);
      if (!entailed) return std::unexpected(entailed.error());
      if (*entailed) return Indices{};
    }
    if (subset.size() == 1) return Indices{subset[0]};
    const std::size_t k = subset.size() / 2;
    const auto front = subset.first(k);
    const auto back = subset.subspan(k);
    Indices with_front = extra;
    with_front.insert(with_front.end(), front.begin(), front.end());
    auto d2 = run(with_front, true, back);
    if (!d2) return d2;
    Indices with_d2 = extra;
    with_d2.insert(with_d2.end(), d2->begin(), d2->end());
    auto d1 = run(with_d2, !d2->empty(), front);
    if (!d1) return d1;
    d1->insert(d1->end(), d2->begin(), d2->end());
    return d1;
  }

 private:
  Result<bool> entails(const Indices& extra) {
    std::vector<const owl::Axiom*> chosen;
    chosen.reserve(extra.size());
    for (std::uint32_t i : extra) chosen.push_back(&candidates_[i]);
    return oracle_.entails(build_subset_ontology(background_, chosen), query_);
  }

  EntailmentOracle& oracle_;
  const std::vector<owl::Axiom>& background_;
  const std::vector<owl::Axiom>& candidates_;
  const JustifyQuery& query_;
};

Justification axioms_at(const std::vector<owl::Axiom>& candidates, const Indices& indices) {
  Justification j;
  j.reserve(indices.size());
  for (std::uint32_t i : indices) j.push_back(candidates[i]);
  return j;
}

// The index of the first candidate equal to each candidate, so that copies of
// one axiom (left by stripping annotations) count as one.
Indices first_equal_indices(const std::vector<owl::Axiom>& candidates) {
  std::map<std::string, std::uint32_t> first;
  Indices result(candidates.size());
  for (std::uint32_t i = 0; i < candidates.size(); ++i) {
    std::string key;
    owl::append_structural_key(candidates[i], key);
    result[i] = first.try_emplace(std::move(key), i).first->second;
  }
  return result;
}

}  // namespace

Result<Justification> minimise_justification(EntailmentOracle& oracle, const std::vector<owl::Axiom>& background,
                                             const std::vector<owl::Axiom>& candidates, const JustifyQuery& query) {
  auto alone = oracle.entails(build_subset_ontology(background, std::span<const owl::Axiom>{}), query);
  if (!alone) return std::unexpected(alone.error());
  if (*alone || candidates.empty()) return Justification{};
  if (candidates.size() == 1) return Justification{candidates[0]};
  Indices all(candidates.size());
  for (std::uint32_t i = 0; i < all.size(); ++i) all[i] = i;
  auto found = QuickXplain(oracle, background, candidates, query).run({}, true, all);
  if (!found) return std::unexpected(found.error());
  return axioms_at(candidates, *found);
}

Result<std::optional<Justification>> find_justification(EntailmentOracle& oracle,
                                                        const std::vector<owl::Axiom>& non_logical,
                                                        const std::vector<owl::Axiom>& logical,
                                                        const JustifyQuery& query) {
  const std::vector<owl::Axiom> background = search_background(non_logical, logical, query);
  OracleModeRestore restore(enable_saturation_oracle(oracle, background, logical, query));
  auto candidates = justification_candidates(oracle, background, logical, query);
  if (!candidates) return std::unexpected(candidates.error());
  if (!*candidates) return std::optional<Justification>();
  auto j = minimise_justification(oracle, background, **candidates, query);
  if (!j) return std::unexpected(j.error());
  return std::optional<Justification>(std::move(*j));
}

Result<std::vector<Justification>> find_all_justifications(EntailmentOracle& oracle,
                                                           const std::vector<owl::Axiom>& non_logical,
                                                           const std::vector<owl::Axiom>& logical,
                                                           const JustifyQuery& query, std::uint64_t max) {
  const std::vector<owl::Axiom> background = search_background(non_logical, logical, query);
  OracleModeRestore restore(enable_saturation_oracle(oracle, background, logical, query));
  auto listed = justification_candidates(oracle, background, logical, query);
  if (!listed) return std::unexpected(listed.error());
  std::vector<Justification> found;
  if (!*listed) return found;
  const std::vector<owl::Axiom>& candidates = **listed;
  const Indices first_equal = first_equal_indices(candidates);

  // Paths are sorted index sets: two paths with the same members are equal.
  std::vector<Indices> stack{Indices{}};
  std::set<Indices> visited;
  std::set<Indices> found_sets;
  while (!stack.empty()) {
    Indices path = std::move(stack.back());
    stack.pop_back();
    if (found.size() >= max) continue;  // drain without further oracle calls
    if (!visited.insert(path).second) continue;
    std::vector<owl::Axiom> rest;
    rest.reserve(candidates.size() - path.size());
    // Removing an axiom removes every copy of it.
    for (std::uint32_t i = 0; i < candidates.size(); ++i)
      if (!std::binary_search(path.begin(), path.end(), first_equal[i])) rest.push_back(candidates[i]);
    auto entailed = oracle.entails(build_subset_ontology(background, rest), query);
    if (!entailed) return std::unexpected(entailed.error());
    if (!*entailed) continue;
    auto j = minimise_justification(oracle, background, rest, query);
    if (!j) return std::unexpected(j.error());
    // Each axiom of the justification, as the first candidate equal to it.
    Indices members;
    members.reserve(j->size());
    for (const owl::Axiom& a : *j) {
      const auto at = std::find_if(candidates.begin(), candidates.end(),
                                   [&](const owl::Axiom& c) { return owl::structurally_equal(c, a); });
      members.push_back(first_equal[static_cast<std::uint32_t>(at - candidates.begin())]);
    }
    Indices as_set = members;
    std::sort(as_set.begin(), as_set.end());
    as_set.erase(std::unique(as_set.begin(), as_set.end()), as_set.end());
    if (found_sets.insert(as_set).second) found.push_back(std::move(*j));
    for (std::uint32_t i : members) {
      Indices child = path;
      child.insert(std::upper_bound(child.begin(), child.end(), i), i);
      child.erase(std::unique(child.begin(), child.end()), child.end());
      stack.push_back(std::move(child));
    }
  }
  return found;
}

}  // namespace kelmon::explain
