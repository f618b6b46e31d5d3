// Hands out the synthetic saturation ids, hash-consed by expression key, and
// appends the rules that define a new id to the rule base.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "saturation/internal/hash.h"
#include "saturation/internal/rule_base.h"

namespace kelmon::sat {

inline constexpr char kSyntheticOverflow[] = "synthetic id overflow";

class SyntheticIds {
 public:
  explicit SyntheticIds(u32 class_count) : next_id(class_count) {}

  // A fresh id; "synthetic id overflow" when the next id would be u32::MAX.
  u32 new_id();

  u32 intern_conjunction(std::vector<u32> conjuncts, RuleBase& rules);
  u32 intern_exists(u32 role, u32 filler, RuleBase& rules);
  u32 intern_exists_linked(u32 role, u32 filler, RuleBase& rules);
  u32 intern_individual(u32 individual);
  u32 intern_at_most(u32 n, u32 role);
  u32 intern_forall(u32 role, u32 cls);
  u32 intern_forall_nominals(u32 role, std::vector<u32> individuals);
  // The id that every saturation id is below: it stands for ⊤ wherever ⊤
  // must be an id (⊤ on the left of a GCI, ⊤ fillers nested in expressions).
  u32 intern_top();

  std::optional<u32> bottom_filler;
  std::optional<u32> top;
  IdMap<ListKey, u32> conjunctions;
  IdMap<PairKey, u32> existentials;         // (role, filler)
  IdMap<RoleListKey, u32> union_existentials;  // (role, fillers)
  IdMap<u32, u32> individuals;              // individual → nominal id
  IdMap<PairKey, u32> at_most;              // (n, role)
  IdMap<RoleListKey, u32> forall_nominals;  // (role, individuals)
  IdMap<PairKey, u32> foralls;              // (role, class)
  IdMap<u32, u32> top_fillers;              // role → ⊤ filler id
  u32 next_id;
};

}  // namespace kelmon::sat
