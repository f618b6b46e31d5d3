// For each kind, an index over some keys of one list that lists the keys
// disjoint from a probe key: sweeps for intervals, merges for value sets.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/dkeys/dkey_pass.h"
#include "core/dkeys/internal/flat_intervals.h"
#include "core/dkeys/internal/set_pairs.h"
#include "core/dkeys/key_lists.h"

namespace kelmon::dkeys {

// Integer keys overlap when some interval of one meets some interval of the
// other; for closed intervals that is "neither lies wholly below the other".
inline bool int_keys_disjoint(const std::vector<IntInterval>& a, const std::vector<IntInterval>& b) {
  for (const IntInterval& x : a)
    for (const IntInterval& y : b)
      if (!wholly_below(flat_int(x), flat_int(y), ValueCmp{}) && !wholly_below(flat_int(y), flat_int(x), ValueCmp{}))
        return false;
  return true;
}

// Tests every target against the probe.
template <class Value, class Disjoint>
class PlainIndex {
 public:
  PlainIndex(const KeyList<Value>& keys, std::span<const std::uint32_t> targets, Disjoint disjoint)
      : keys_(keys), targets_(targets.begin(), targets.end()), disjoint_(disjoint) {}

  template <class Fn>
  void for_each_disjoint(std::uint32_t probe, Fn&& fn) const {
    for (std::uint32_t t : targets_)
      if (t != probe && disjoint_(keys_[probe].value, keys_[t].value)) fn(t);
  }

 private:
  const KeyList<Value>& keys_;
  std::vector<std::uint32_t> targets_;
  Disjoint disjoint_;
};

// One interval per key.
template <class Interval>
class IntervalIndex {
  using Flat = decltype(flat(std::declval<const Interval&>()));
  using V = std::decay_t<decltype(std::declval<Flat>().lower->value)>;

 public:
  IntervalIndex(const std::vector<Flat>& flats, std::span<const std::uint32_t> targets)
      : below_(flats, targets, ValueCmp{}) {}

  template <class Fn>
  void for_each_disjoint(std::uint32_t probe, Fn&& fn) const {
    below_.for_each_disjoint(probe, fn);
  }

 private:
  BelowIndex<V, ValueCmp> below_;
};

// Bare keys (one interval) go through the sweep; "iset:" keys are tested one by one.
class IntKeyIndex {
 public:
  IntKeyIndex(const KeyList<std::vector<IntInterval>>& keys, const std::vector<FlatInterval<std::int64_t>>& flats,
              std::span<const std::uint32_t> targets)
      : keys_(keys), singles_(split(keys, targets, true)), multis_(split(keys, targets, false)),
        below_(flats, singles_, ValueCmp{}) {}

  template <class Fn>
  void for_each_disjoint(std::uint32_t probe, Fn&& fn) const {
    const auto& value = keys_[probe].value;
    auto test = [&](std::uint32_t t) {
      if (t != probe && int_keys_disjoint(value, keys_[t].value)) fn(t);
    };
    if (value.size() == 1) {
      below_.for_each_disjoint(probe, fn);
    } else {
      for (std::uint32_t t : singles_) test(t);
    }
    for (std::uint32_t t : multis_) test(t);
  }

 private:
  static std::vector<std::uint32_t> split(const KeyList<std::vector<IntInterval>>& keys,
                                          std::span<const std::uint32_t> targets, bool single) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t t : targets)
      if ((keys[t].value.size() == 1) == single) out.push_back(t);
    return out;
  }

  const KeyList<std::vector<IntInterval>>& keys_;
  std::vector<std::uint32_t> singles_;
  std::vector<std::uint32_t> multis_;
  BelowIndex<std::int64_t, ValueCmp> below_;
};

// Builds the index kind for a key list; `flats` must outlive the indexes.
class IntKeys {
 public:
  using Value = std::vector<IntInterval>;
  explicit IntKeys(const KeyList<Value>& keys) : keys_(keys) {
    flats_.reserve(keys.size());
    for (const auto& k : keys) flats_.push_back(k.value.size() == 1 ? flat_int(k.value[0]) : FlatInterval<std::int64_t>{});
  }
  const KeyList<Value>& keys() const { return keys_; }
  IntKeyIndex index(std::span<const std::uint32_t> targets) const { return IntKeyIndex(keys_, flats_, targets); }

 private:
  const KeyList<Value>& keys_;
  std::vector<FlatInterval<std::int64_t>> flats_;
};

template <class Interval>
class IntervalKeys {
 public:
  using Value = Interval;
  explicit IntervalKeys(const KeyList<Interval>& keys) : keys_(keys) {
    flats_.reserve(keys.size());
    for (const auto& k : keys) flats_.push_back(flat(k.value));
  }
  const KeyList<Interval>& keys() const { return keys_; }
  IntervalIndex<Interval> index(std::span<const std::uint32_t> targets) const {
    return IntervalIndex<Interval>(flats_, targets);
  }

 private:
  using Flat = decltype(flat(std::declval<const Interval&>()));
  const KeyList<Interval>& keys_;
  std::vector<Flat> flats_;
};

template <class ValueT, class Disjoint>
class PlainKeys {
 public:
  using Value = ValueT;
  explicit PlainKeys(const KeyList<Value>& keys) : keys_(keys) {}
  const KeyList<Value>& keys() const { return keys_; }
  PlainIndex<Value, Disjoint> index(std::span<const std::uint32_t> targets) const {
    return PlainIndex<Value, Disjoint>(keys_, targets, Disjoint{});
  }

 private:
  const KeyList<Value>& keys_;
};

struct StringsDisjoint {
  bool operator()(const ValueRange::Strings& a, const ValueRange::Strings& b) const {
    return a.set && b.set && sets_disjoint(*a.set, *b.set);
  }
};
struct LangDisjoint {
  bool operator()(const LangStrings& a, const LangStrings& b) const { return lang_values_disjoint(a, b); }
};
struct SetDisjoint {
  template <class T>
  bool operator()(const std::vector<T>& a, const std::vector<T>& b) const {
    return sets_disjoint(a, b);
  }
};

}  // namespace kelmon::dkeys
