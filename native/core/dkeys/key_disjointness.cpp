// Disjointness axioms between keys of one kind whose values share nothing.
// With a bucket context only keys that can meet on one property group are
// paired (a direct key meets every key that takes part), and inside a group
// without a strict property a pair where neither key is used universally is
// left out. Disjoint pairs are listed by each kind's index, so pairs that
// overlap are never enumerated for interval kinds.
#include <algorithm>
#include <atomic>
#include <map>

#include "common/invariant.h"
#include "common/seeded_hash.h"
#include "common/switches.h"
#include "core/data/internal/utf8.h"
#include "core/dkeys/dkey_pass.h"
#include "core/dkeys/internal/disjoint_index.h"
#include "core/dkeys/internal/steps.h"

namespace kelmon {

namespace {
std::atomic<std::uint64_t> considered_pairs_counter{0};
std::atomic<std::uint64_t> skipped_pairs_counter{0};
}  // namespace

DkeySplitStats dkey_split_stats() {
  return {considered_pairs_counter.load(std::memory_order_relaxed),
          skipped_pairs_counter.load(std::memory_order_relaxed)};
}

bool lang_values_disjoint(const LangStrings& a, const LangStrings& b) {
  return a.set && b.set && dkeys::sets_disjoint(*a.set, *b.set);
}

namespace dkeys {
namespace {

struct DisjointSwitches {
  bool emit_order = true;
  bool split_stats = false;
  bool collapse_split = true;
  bool group_skip = true;

  static DisjointSwitches read() {
    DisjointSwitches s;
    s.emit_order = switch_flag(SwitchId::DkeyEmitOrder);
    // On for any valid text but "0", the empty one included.
    const auto stats = switch_text(SwitchId::DkeySplitStats);
    s.split_stats = stats && is_valid_utf8(*stats) && *stats != "0";
    s.collapse_split = switch_flag(SwitchId::DkeyCollapseSplit);
    s.group_skip = switch_flag(SwitchId::DkeyGroupSkip);
    return s;
  }
  bool split_mode() const { return group_skip && collapse_split && emit_order; }
};

struct ClassPairHash {
  std::size_t operator()(std::uint64_t pair) const { return hash_finish(pair); }
};
std::uint64_t class_pair(ClassId a, ClassId b) {
  const auto [lo, hi] = std::minmax(a.v, b.v);
  return std::uint64_t{lo} << 32 | hi;
}

// Decides the candidate pairs of one run. A pair can come up again only in a
// later bucket that holds both keys, so only pairs of two keys with several
// groups are remembered; the others are counted.
class PairDecider {
 public:
  PairDecider(const DisjointSwitches& switches, KeyAxiomEmitter& out) : s_(switches), out_(out) {}

  // `tracked`: both keys lie in more than one bucket.
  void decide(ClassId first, ClassId second, bool tracked, bool collapsible, const OrderKey& order) {
    const std::uint64_t pair = class_pair(first, second);
    if (!s_.emit_order) {
      if (tracked && !decided_.insert(pair).second) return;
      ++pair_count_;
    } else if (tracked && decided_.contains(pair)) {
      return;
    }
    if (s_.split_stats && !s_.emit_order) {
      considered_pairs_counter.fetch_add(1, std::memory_order_relaxed);
      if (collapsible) skipped_pairs_counter.fetch_add(1, std::memory_order_relaxed);
    }
    if (s_.collapse_split && collapsible) {
      if (s_.split_stats && s_.emit_order) {
        if (tracked) skipped_.insert(pair);
        else ++skipped_once_;
      }
      return;
    }
    if (s_.emit_order) {
      if (tracked) decided_.insert(pair);
      ++pair_count_;
    }
    out_.disjoint(first, second, order);
  }

  // Skipped pairs never emitted later, and every decided pair, go to the counters.
  void finish() {
    if (!(s_.split_stats && s_.emit_order)) return;
    std::uint64_t missing = skipped_once_;
    for (std::uint64_t pair : skipped_)
      if (!decided_.contains(pair)) ++missing;
    considered_pairs_counter.fetch_add(missing + pair_count_, std::memory_order_relaxed);
    skipped_pairs_counter.fetch_add(missing, std::memory_order_relaxed);
  }

 private:
  const DisjointSwitches& s_;
  KeyAxiomEmitter& out_;
  tsl::robin_set<std::uint64_t, ClassPairHash> decided_;
  tsl::robin_set<std::uint64_t, ClassPairHash> skipped_;
  std::uint64_t pair_count_ = 0;
  std::uint64_t skipped_once_ = 0;
};

bool holds_root(const tsl::robin_map<ClassId, std::vector<GroupRoot>>& table, ClassId key, GroupRoot root) {
  const auto it = table.find(key);
  return it != table.end() && std::find(it->second.begin(), it->second.end(), root) != it->second.end();
}

template <class Keys>
void disjointness_without_context(KeyAxiomEmitter& out, const Keys& kind) {
  const auto& keys = kind.keys();
  std::vector<std::uint32_t> all(keys.size());
  for (std::uint32_t i = 0; i < all.size(); ++i) all[i] = i;
  const auto index = kind.index(all);
  for (std::uint32_t x = 0; x < keys.size(); ++x)
    index.for_each_disjoint(x, [&](std::uint32_t y) {
      if (y > x) out.disjoint(keys[x].cls, keys[y].cls, {x, y, 0, 0});
    });
}

template <class Keys>
void disjointness_with_context(KeyAxiomEmitter& out, const Keys& kind, const KeyBucketContext& context) {
  const auto& keys = kind.keys();
  std::vector<std::uint32_t> direct, grouped;
  std::map<GroupRoot, std::vector<std::uint32_t>> buckets;
  std::vector<bool> several_groups(keys.size(), false);
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    if (context.direct_keys.contains(keys[i].cls)) {
      direct.push_back(i);
      continue;
    }
    const auto it = context.key_groups.find(keys[i].cls);
    if (it == context.key_groups.end()) continue;
    grouped.push_back(i);
    several_groups[i] = it->second.size() > 1;
    for (GroupRoot root : it->second) buckets[root].push_back(i);
  }

  const DisjointSwitches switches = DisjointSwitches::read();
  PairDecider decider(switches, out);
  std::vector<bool> universal(keys.size(), false);
  std::uint64_t rank = 0;
  for (const auto& [root, members] : buckets) {
    const bool all_pairs = context.all_pairs_groups.contains(root);
    bool any_rest = false;
    for (std::uint32_t m : members) {
      universal[m] = holds_root(context.universal_groups, keys[m].cls, root);
      any_rest = any_rest || !universal[m];
    }
    const auto index = kind.index(members);
    if (switches.split_mode() && !all_pairs && any_rest) {
      // Only pairs with a universal key can survive the collapse rule; the universal key goes first.
      for (std::uint32_t u : members) {
        if (!universal[u]) continue;
        index.for_each_disjoint(u, [&](std::uint32_t y) {
          if (universal[y] && y < u) return;
          const bool tracked = several_groups[u] && several_groups[y];
          decider.decide(keys[u].cls, keys[y].cls, tracked, false, {rank, u, universal[y] ? 0u : 1u, y});
        });
      }
    } else {
      for (std::uint32_t x : members) {
        index.for_each_disjoint(x, [&](std::uint32_t y) {
          if (y < x) return;
          const bool tracked = several_groups[x] && several_groups[y];
          const bool collapsible = !all_pairs && !universal[x] && !universal[y];
          decider.decide(keys[x].cls, keys[y].cls, tracked, collapsible, {rank, x, 0, y});
        });
      }
    }
    ++rank;
  }

  // Direct keys meet every other direct key and every grouped key.
  if (!direct.empty()) {
    std::vector<bool> is_direct(keys.size(), false);
    for (std::uint32_t d : direct) is_direct[d] = true;
    std::vector<std::uint32_t> targets = direct;
    targets.insert(targets.end(), grouped.begin(), grouped.end());
    const auto index = kind.index(targets);
    for (std::uint32_t d : direct) {
      index.for_each_disjoint(d, [&](std::uint32_t y) {
        if (is_direct[y] && y < d) return;
        decider.decide(keys[d].cls, keys[y].cls, false, false, {rank, d, is_direct[y] ? 0u : 1u, y});
      });
    }
  }
  decider.finish();
}

template <class Keys>
void emit_bucket_disjointness(KeyAxiomEmitter& out, const Keys& kind,
                              const std::optional<KeyBucketContext>& context) {
  if (context) disjointness_with_context(out, kind, *context);
  else disjointness_without_context(out, kind);
  out.finish_step();
}

template <class Value>
using SetKeys = PlainKeys<Value, SetDisjoint>;

template <class Value>
std::vector<ClassId> classes_of(const KeyList<Value>& keys) {
  std::vector<ClassId> out;
  out.reserve(keys.size());
  for (const auto& k : keys) out.push_back(k.cls);
  return out;
}

}  // namespace

void emit_key_disjointness(KeyAxiomEmitter& out, const KeyLists& keys, const std::optional<KeyBucketContext>& context) {
  emit_bucket_disjointness(out, IntKeys(keys.ints), context);
  emit_bucket_disjointness(out, IntervalKeys<FloatInterval>(keys.floats), context);
  emit_bucket_disjointness(out, IntervalKeys<FloatInterval>(keys.doubles), context);
  emit_bucket_disjointness(out, IntervalKeys<DecimalInterval>(keys.decimals), context);
  emit_bucket_disjointness(out, IntervalKeys<DateInterval>(keys.dates), context);
  emit_bucket_disjointness(out, IntervalKeys<DateTimeInterval>(keys.date_times), context);
  emit_bucket_disjointness(out, PlainKeys<ValueRange::Strings, StringsDisjoint>(keys.strings), context);
  emit_bucket_disjointness(out, PlainKeys<LangStrings, LangDisjoint>(keys.langs), context);
  if (switch_flag(SwitchId::DkeyCrossBucketDisjoint)) {
    const auto floats = classes_of(keys.floats);
    const auto doubles = classes_of(keys.doubles);
    const auto decimals = classes_of(keys.decimals);
    const auto ints = classes_of(keys.ints);
    emit_cross_kind_disjointness(out, floats, doubles, context);
    emit_cross_kind_disjointness(out, floats, decimals, context);
    emit_cross_kind_disjointness(out, floats, ints, context);
    emit_cross_kind_disjointness(out, doubles, decimals, context);
    emit_cross_kind_disjointness(out, doubles, ints, context);
    emit_value_space_disjointness(out, keys, context);
  }
  emit_bucket_disjointness(out, SetKeys<IntValueSet>(keys.int_sets), context);
  emit_bucket_disjointness(out, SetKeys<FloatValueSet>(keys.float_sets), context);
  emit_bucket_disjointness(out, SetKeys<FloatValueSet>(keys.double_sets), context);
  emit_bucket_disjointness(out, SetKeys<DecimalValueSet>(keys.decimal_sets), context);
  emit_bucket_disjointness(out, SetKeys<DateValueSet>(keys.date_sets), context);
  emit_bucket_disjointness(out, SetKeys<DateTimeValueSet>(keys.date_time_sets), context);
  emit_range_oneof_disjointness(out, keys, context);
}

}  // namespace dkeys
}  // namespace kelmon
