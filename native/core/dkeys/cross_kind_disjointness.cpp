// Disjointness between keys of different kinds: float, double, decimal and
// integer keys by kind alone, and interval keys against the one-of keys of
// their own datatype by value. With a bucket context a pair must pass the
// partner filter: one of them direct, or both grouped with a root in common.
#include <algorithm>

#include "core/dkeys/internal/flat_intervals.h"
#include "core/dkeys/internal/steps.h"

namespace kelmon::dkeys {
namespace {

// The keys of the second list that a key of the first may be paired with.
class PartnerFilter {
 public:
  PartnerFilter(const KeyBucketContext& context, const std::vector<ClassId>& second)
      : context_(context), mark_(second.size(), 0) {
    for (std::uint32_t b = 0; b < second.size(); ++b) {
      if (context.direct_keys.contains(second[b])) {
        direct_.push_back(b);
        admitted_by_free_.push_back(b);
      } else if (auto it = context.key_groups.find(second[b]); it != context.key_groups.end()) {
        admitted_by_free_.push_back(b);
        for (GroupRoot root : it->second) by_root_[root].push_back(b);
      }
    }
  }

  // Calls fn(b) for every admitted b, each once, in ascending order.
  template <class Fn>
  void for_each_partner(ClassId a, Fn&& fn) {
    if (context_.direct_keys.contains(a)) {
      for (std::uint32_t b : admitted_by_free_) fn(b);
      return;
    }
    const auto it = context_.key_groups.find(a);
    if (it == context_.key_groups.end()) return;
    ++epoch_;
    std::vector<std::uint32_t>& partners = scratch_;
    partners = direct_;
    for (std::uint32_t b : direct_) mark_[b] = epoch_;
    for (GroupRoot root : it->second) {
      const auto bucket = by_root_.find(root);
      if (bucket == by_root_.end()) continue;
      for (std::uint32_t b : bucket->second) {
        if (mark_[b] == epoch_) continue;
        mark_[b] = epoch_;
        partners.push_back(b);
      }
    }
    std::sort(partners.begin(), partners.end());
    for (std::uint32_t b : partners) fn(b);
  }

 private:
  const KeyBucketContext& context_;
  std::vector<std::uint32_t> direct_;
  std::vector<std::uint32_t> admitted_by_free_;
  tsl::robin_map<GroupRoot, std::vector<std::uint32_t>> by_root_;
  std::vector<std::uint32_t> mark_;
  std::uint32_t epoch_ = 0;
  std::vector<std::uint32_t> scratch_;
};

// Calls fn(a, b) for the admitted pairs of positions. Keys of two kinds are
// different classes, so no unordered pair can come up twice in one run.
template <class Fn>
void for_each_admitted_pair(const std::vector<ClassId>& first, const std::vector<ClassId>& second,
                            const std::optional<KeyBucketContext>& context, Fn&& fn) {
  if (first.empty() || second.empty()) return;
  if (!context) {
    for (std::uint32_t a = 0; a < first.size(); ++a)
      for (std::uint32_t b = 0; b < second.size(); ++b) fn(a, b);
    return;
  }
  PartnerFilter filter(*context, second);
  for (std::uint32_t a = 0; a < first.size(); ++a) filter.for_each_partner(first[a], [&](std::uint32_t b) { fn(a, b); });
}

// The least value of a sorted set that passes the lower bound, then the upper bound test.
template <class V, class T, class ToV>
bool some_value_inside(const FlatInterval<V>& r, const std::vector<T>& values, ToV to_v) {
  const ValueCmp cmp;
  if ((r.lower && r.lower->unordered) || (r.upper && r.upper->unordered)) return false;
  auto first = values.begin();
  if (r.lower) {
    first = std::partition_point(values.begin(), values.end(), [&](const T& v) {
      const std::partial_ordering c = cmp(r.lower->value, to_v(v));
      return !(c < 0 || (c == 0 && r.lower->inclusive));
    });
  }
  if (first == values.end()) return false;
  if (!r.upper) return true;
  const std::partial_ordering c = cmp(to_v(*first), r.upper->value);
  return c < 0 || (c == 0 && r.upper->inclusive);
}

bool int_value_inside(const std::vector<IntInterval>& r, const IntValueSet& values) {
  return std::any_of(r.begin(), r.end(), [&](const IntInterval& i) {
    return some_value_inside(flat_int(i), values, [](std::int64_t v) { return v; });
  });
}

template <class RangeValue, class SetValue, class Inside>
void range_oneof(KeyAxiomEmitter& out, const KeyList<RangeValue>& ranges, const KeyList<SetValue>& sets,
                 const std::optional<KeyBucketContext>& context, Inside inside) {
  if (ranges.empty() || sets.empty()) return;
  std::vector<ClassId> first, second;
  for (const auto& k : ranges) first.push_back(k.cls);
  for (const auto& k : sets) second.push_back(k.cls);
  for_each_admitted_pair(first, second, context, [&](std::uint32_t r, std::uint32_t o) {
    if (!inside(ranges[r].value, sets[o].value)) out.disjoint(first[r], second[o], {r, o, 0, 0});
  });
  out.finish_step();
}

template <class Interval, class T, class ToV>
auto interval_inside(ToV to_v) {
  return [to_v](const Interval& r, const std::vector<T>& values) { return some_value_inside(flat(r), values, to_v); };
}

}  // namespace

void emit_cross_kind_disjointness(KeyAxiomEmitter& out, const std::vector<ClassId>& first,
                                  const std::vector<ClassId>& second, const std::optional<KeyBucketContext>& context) {
  for_each_admitted_pair(first, second, context,
                         [&](std::uint32_t a, std::uint32_t b) { out.disjoint(first[a], second[b], {a, b, 0, 0}); });
  out.finish_step();
}

void emit_value_space_disjointness(KeyAxiomEmitter& out, const KeyLists& keys,
                                   const std::optional<KeyBucketContext>& context) {
  struct Kind {
    std::uint8_t space;
    std::vector<ClassId> classes;
  };
  auto kind = [](std::uint8_t space, const auto& list) {
    Kind k{space, {}};
    for (const auto& key : list) k.classes.push_back(key.cls);
    return k;
  };
  enum : std::uint8_t { kExact, kFloat, kDouble, kString, kDate, kDateTime };
  // The first five kinds in this order: their float and double pairs have a step of their own.
  const std::vector<Kind> kinds = {
      kind(kFloat, keys.floats),          kind(kDouble, keys.doubles),    kind(kExact, keys.decimals),
      kind(kExact, keys.ints),            kind(kFloat, keys.float_sets),  kind(kDouble, keys.double_sets),
      kind(kExact, keys.int_sets),        kind(kExact, keys.decimal_sets), kind(kString, keys.strings),
      kind(kDate, keys.dates),            kind(kDate, keys.date_sets),    kind(kDateTime, keys.date_times),
      kind(kDateTime, keys.date_time_sets)};
  for (std::size_t a = 0; a < kinds.size(); ++a) {
    for (std::size_t b = std::max<std::size_t>(a + 1, 4); b < kinds.size(); ++b) {
      if (kinds[a].space == kinds[b].space) continue;
      emit_cross_kind_disjointness(out, kinds[a].classes, kinds[b].classes, context);
    }
  }
}

void emit_range_oneof_disjointness(KeyAxiomEmitter& out, const KeyLists& keys,
                                   const std::optional<KeyBucketContext>& context) {
  auto same = [](const auto& v) { return v; };
  range_oneof(out, keys.ints, keys.int_sets, context, int_value_inside);
  range_oneof(out, keys.floats, keys.float_sets, context, interval_inside<FloatInterval, double>(same));
  range_oneof(out, keys.doubles, keys.double_sets, context, interval_inside<FloatInterval, double>(same));
  range_oneof(out, keys.decimals, keys.decimal_sets, context,
              interval_inside<DecimalInterval, DecimalValue>([](const DecimalValue& v) { return &v; }));
  range_oneof(out, keys.dates, keys.date_sets, context, interval_inside<DateInterval, DateValue>(same));
  range_oneof(out, keys.date_times, keys.date_time_sets, context,
              interval_inside<DateTimeInterval, DateTimeValue>(same));
}

}  // namespace kelmon::dkeys
