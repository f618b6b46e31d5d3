#include "reasoner/properties/property_classify.h"

#include <algorithm>
#include <cstdint>

#include <tsl/robin_set.h>

#include "common/invariant.h"

namespace kelmon::reasoner {

namespace {

constexpr uint32_t kNoGroup = ~uint32_t{0};

uint64_t key(uint32_t a, uint32_t b) { return (uint64_t{a} << 32) | b; }

// Sorted, duplicate-free id pairs with a membership index.
struct IdEdges {
  std::vector<std::pair<uint32_t, uint32_t>> list;
  tsl::robin_set<uint64_t> index;

  void add(uint32_t a, uint32_t b) {
    if (index.insert(key(a, b)).second) list.emplace_back(a, b);
  }
  bool contains(uint32_t a, uint32_t b) const { return index.contains(key(a, b)); }
};

}  // namespace

PropertyHierarchy classify_properties(PropertyPairs pairs) {
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());

  // Names in byte order, so that ids compare as their IRIs do.
  std::vector<std::string> names;
  names.reserve(pairs.size() * 2);
  for (const auto& [sub, sup] : pairs) {
    names.push_back(sub);
    names.push_back(sup);
  }
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  invariant(names.size() < kNoGroup, "property count fits in u32");
  auto id_of = [&](const std::string& name) {
    return static_cast<uint32_t>(std::lower_bound(names.begin(), names.end(), name) - names.begin());
  };

  IdEdges edges;
  std::vector<std::vector<uint32_t>> succ(names.size());
  for (const auto& [sub, sup] : pairs) {
    const uint32_t a = id_of(sub), b = id_of(sup);
    edges.add(a, b);
    succ[a].push_back(b);
  }

  // Mutual sub-properties form a group; closed input makes that an equivalence.
  std::vector<std::vector<uint32_t>> groups;
  std::vector<uint32_t> group_of(names.size(), kNoGroup);
  for (uint32_t p = 0; p < names.size(); ++p) {
    if (group_of[p] != kNoGroup) continue;
    std::vector<uint32_t> members = {p};
    for (uint32_t q : succ[p]) {
      if (q != p && edges.contains(q, p)) members.push_back(q);
    }
    std::sort(members.begin(), members.end());
    members.erase(std::unique(members.begin(), members.end()), members.end());
    for (uint32_t m : members) group_of[m] = static_cast<uint32_t>(groups.size());
    groups.push_back(std::move(members));
  }

  IdEdges group_edges;
  for (const auto& [a, b] : edges.list) {
    invariant(group_of[a] != kNoGroup && group_of[b] != kNoGroup, "every property of an edge has a group");
    if (group_of[a] != group_of[b]) group_edges.add(group_of[a], group_of[b]);
  }
  std::sort(group_edges.list.begin(), group_edges.list.end());
  std::vector<std::vector<uint32_t>> group_succ(groups.size());
  for (const auto& [x, y] : group_edges.list) group_succ[x].push_back(y);

  // (x, y) is direct unless it passes through a third group z.
  PropertyHierarchy out;
  for (const auto& [x, y] : group_edges.list) {
    const bool via_other = std::any_of(group_succ[x].begin(), group_succ[x].end(),
                                       [&](uint32_t z) { return z != y && group_edges.contains(z, y); });
    if (!via_other) out.pairs.emplace_back(names[groups[x].front()], names[groups[y].front()]);
  }
  std::sort(out.pairs.begin(), out.pairs.end());
  out.pairs.erase(std::unique(out.pairs.begin(), out.pairs.end()), out.pairs.end());

  for (const auto& members : groups) {
    if (members.size() < 2) continue;
    std::vector<std::string> group;
    group.reserve(members.size());
    for (uint32_t m : members) group.push_back(names[m]);
    out.groups.push_back(std::move(group));
  }
  std::stable_sort(out.groups.begin(), out.groups.end());
  return out;
}

}  // namespace kelmon::reasoner
