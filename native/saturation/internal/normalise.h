// GCI normalisation: turns sub ⊑ sup over pooled concepts into rule-base
// entries, encoding complex sub-expressions as synthetic ids. Shapes it does
// not name are dropped, which keeps the saturation sound and makes it
// incomplete for them.
#pragma once

#include <cstdint>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "core/ir.h"
#include "saturation/internal/hash.h"
#include "saturation/internal/rule_base.h"
#include "saturation/internal/synthetic_ids.h"

namespace kelmon::sat {

struct EncodeKey {
  u32 concept_id;
  u32 outer;  // kNoRole when absent
  std::vector<u32> extra;
  friend bool operator==(const EncodeKey&, const EncodeKey&) = default;
};
struct EncodeKeyHash {
  std::size_t operator()(const EncodeKey& k) const noexcept {
    return hash_step(hash_step(IdHash{}(k.extra), k.concept_id), k.outer);
  }
};

inline constexpr u32 kNoRole = 0xffffffffu;

struct NormaliseContext {
  const ConceptPool& pool;
  RuleBase& rules;
  SyntheticIds& ids;
  const IdMap<u32, std::vector<u32>>& role_ranges;
  const IdMap<PairKey, std::vector<u32>>& chain_ranges;
  // Per-build cache of contains_bottom; the pool does not change meanwhile.
  IdMap<u32, bool> bottom_memo = {};
  // Per-axiom cache of encodings, so shared sub-expressions are encoded once.
  tsl::robin_map<EncodeKey, std::optional<u32>, EncodeKeyHash> encode_memo = {};
};

void normalise_gci(ConceptId sub, ConceptId sup, NormaliseContext& ctx);

std::optional<u32> encode_expr(ConceptId c, std::vector<u32> extra, std::optional<u32> outer, NormaliseContext& ctx);
std::optional<std::pair<u32, u32>> encode_existential(ConceptId c, NormaliseContext& ctx);
std::optional<std::vector<u32>> encode_fillers(ConceptId c, NormaliseContext& ctx);
std::vector<u32> range_classes(std::optional<u32> outer, u32 role, const NormaliseContext& ctx);
bool contains_bottom(ConceptId c, NormaliseContext& ctx);
std::vector<u32> named_conjuncts(const ConceptPool& pool, ConceptId c);
std::vector<u32> named_conjuncts_deep(const ConceptPool& pool, ConceptId c);
std::optional<std::pair<u32, std::vector<u32>>> forall_nominals_of(const ConceptPool& pool, ConceptId c);
std::vector<std::pair<u32, u32>> encode_existential_members(const std::vector<ConceptId>& members, NormaliseContext& ctx);
std::vector<std::pair<u32, u32>> encode_some_members(const std::vector<ConceptId>& members, NormaliseContext& ctx);
std::vector<u32> encode_expr_list(ConceptId c, NormaliseContext& ctx);

}  // namespace kelmon::sat
