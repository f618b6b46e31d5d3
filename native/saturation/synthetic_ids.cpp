#include "saturation/internal/synthetic_ids.h"

#include <algorithm>
#include <limits>

#include "common/invariant.h"

namespace kelmon::sat {

namespace {

void sort_unique(std::vector<u32>& v) {
  std::sort(v.begin(), v.end());
  v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

u32 SyntheticIds::new_id() {
  invariant(next_id != std::numeric_limits<u32>::max(), kSyntheticOverflow);
  return next_id++;
}

u32 SyntheticIds::intern_conjunction(std::vector<u32> conjuncts, RuleBase& rules) {
  sort_unique(conjuncts);
  if (auto it = conjunctions.find(conjuncts); it != conjunctions.end()) return it->second;
  u32 id = new_id();
  for (u32 c : conjuncts) rules.told.emplace_back(id, c);
  rules.conjunction_rules.push_back(ConjunctionRule{conjuncts, id});
  conjunctions.emplace(std::move(conjuncts), id);
  return id;
}

u32 SyntheticIds::intern_exists(u32 role, u32 filler, RuleBase& rules) {
  PairKey key{role, filler};
  if (auto it = existentials.find(key); it != existentials.end()) return it->second;
  u32 id = new_id();
  rules.exists_left_rules.push_back(ExistsLeftRule{role, filler, id});
  existentials.emplace(key, id);
  return id;
}

u32 SyntheticIds::intern_exists_linked(u32 role, u32 filler, RuleBase& rules) {
  u32 id = intern_exists(role, filler, rules);
  rules.link_rules.push_back(LinkRule{id, role, filler});
  return id;
}

namespace {

template <class Map, class Key>
u32 intern_plain(Map& map, Key key, SyntheticIds& ids) {
  if (auto it = map.find(key); it != map.end()) return it->second;
  u32 id = ids.new_id();
  map.emplace(std::move(key), id);
  return id;
}

}  // namespace

u32 SyntheticIds::intern_individual(u32 individual) { return intern_plain(individuals, individual, *this); }

u32 SyntheticIds::intern_at_most(u32 n, u32 role) { return intern_plain(at_most, PairKey{n, role}, *this); }

u32 SyntheticIds::intern_forall(u32 role, u32 cls) { return intern_plain(foralls, PairKey{role, cls}, *this); }

u32 SyntheticIds::intern_forall_nominals(u32 role, std::vector<u32> individual_list) {
  sort_unique(individual_list);
  return intern_plain(forall_nominals, RoleListKey{role, std::move(individual_list)}, *this);
}

u32 SyntheticIds::intern_top() {
  if (!top) top = new_id();
  return *top;
}

}  // namespace kelmon::sat
