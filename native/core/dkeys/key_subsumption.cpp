// Subclass axioms between keys of one kind whose value sets are nested. Every
// ordered pair counts on its own, so keys with equal values get both
// directions; the candidates come from sorted sweeps, not from all pairs.
#include <algorithm>
#include <map>

#include "common/switches.h"
#include "core/dkeys/dkey_pass.h"
#include "core/dkeys/internal/flat_intervals.h"
#include "core/dkeys/internal/set_pairs.h"
#include "core/dkeys/internal/steps.h"

namespace kelmon {

bool lang_values_subset(const LangStrings& a, const LangStrings& b) {
  if (!b.set) return true;
  if (!a.set) return false;
  return std::includes(b.set->begin(), b.set->end(), a.set->begin(), a.set->end());
}

namespace dkeys {
namespace {

OrderKey pair_order(std::uint64_t i, std::uint64_t j) { return {i, j, 0, 0}; }

// Every non-empty interval of `inner` lies within one interval of `outer`.
bool int_intervals_within(const std::vector<IntInterval>& inner, const std::vector<IntInterval>& outer) {
  auto contains = [](const IntInterval& o, const IntInterval& i) {
    const bool lower_ok = !o.lower || (i.lower && *i.lower >= *o.lower);
    const bool upper_ok = !o.upper || (i.upper && *i.upper <= *o.upper);
    return lower_ok && upper_ok;
  };
  return std::all_of(inner.begin(), inner.end(), [&](const IntInterval& i) {
    return is_empty(i) || std::any_of(outer.begin(), outer.end(), [&](const IntInterval& o) { return contains(o, i); });
  });
}

void int_subsumption(KeyAxiomEmitter& out, const KeyList<std::vector<IntInterval>>& keys) {
  using Flat = std::pair<FlatInterval<std::int64_t>, std::uint32_t>;
  std::vector<Flat> queries, containers;
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    const auto& intervals = keys[i].value;
    auto first = std::find_if(intervals.begin(), intervals.end(), [](const IntInterval& x) { return !is_empty(x); });
    if (first == intervals.end()) {
      // Only empty intervals: within every other integer key.
      for (std::uint32_t j = 0; j < keys.size(); ++j)
        if (j != i) out.subclass(keys[i].cls, keys[j].cls, pair_order(i, j));
    } else {
      queries.emplace_back(flat_int(*first), i);
    }
    for (const IntInterval& x : intervals) containers.emplace_back(flat_int(x), i);
  }
  // A candidate's interval holds the query key's first interval; the rest is checked.
  for_each_containment(queries, containers, ValueCmp{}, [&](std::uint32_t i, std::uint32_t j) {
    if (i != j && int_intervals_within(keys[i].value, keys[j].value))
      out.subclass(keys[i].cls, keys[j].cls, pair_order(i, j));
  });
  out.finish_step();
}

template <class Interval>
void interval_subsumption(KeyAxiomEmitter& out, const KeyList<Interval>& keys) {
  using Flat = decltype(flat(std::declval<const Interval&>()));
  std::vector<std::pair<Flat, std::uint32_t>> items;
  items.reserve(keys.size());
  for (std::uint32_t i = 0; i < keys.size(); ++i) items.emplace_back(flat(keys[i].value), i);
  for_each_containment(items, items, ValueCmp{}, [&](std::uint32_t i, std::uint32_t j) {
    if (i != j) out.subclass(keys[i].cls, keys[j].cls, pair_order(i, j));
  });
  out.finish_step();
}

// Keys whose value is either "all" (absent set) or a set, related pairwise:
// everything lies within an "all" key, an "all" key within no set key.
template <class T, class Value, class SetOf>
void all_or_set_pairwise(KeyAxiomEmitter& out, const KeyList<Value>& keys, SetOf set_of) {
  std::vector<std::uint32_t> all_keys;
  std::vector<const std::vector<T>*> sets(keys.size(), nullptr);
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    if (const auto& set = set_of(keys[i].value)) sets[i] = &*set;
    else all_keys.push_back(i);
  }
  for (std::uint32_t i = 0; i < keys.size(); ++i)
    for (std::uint32_t a : all_keys)
      if (a != i) out.subclass(keys[i].cls, keys[a].cls, pair_order(i, a));
  for_each_subset_pair<T>(sets, [&](std::uint32_t i, std::uint32_t j) {
    out.subclass(keys[i].cls, keys[j].cls, pair_order(i, j));
  });
  out.finish_step();
}

// Set keys are only compared with strictly larger sets, and "all" keys are
// superclasses of every set key without a test; equal sets stay unrelated.
void string_size_indexed(KeyAxiomEmitter& out, const KeyList<ValueRange::Strings>& keys) {
  std::vector<std::uint32_t> all_keys;
  std::vector<const StringSet*> sets(keys.size(), nullptr);
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    if (keys[i].value.set) sets[i] = &*keys[i].value.set;
    else all_keys.push_back(i);
  }
  for (std::uint32_t i = 0; i < keys.size(); ++i) {
    if (!sets[i]) continue;
    for (std::uint32_t a : all_keys) out.subclass(keys[i].cls, keys[a].cls, {0, sets[i]->size(), i, a});
  }
  for_each_subset_pair<std::string>(sets, [&](std::uint32_t i, std::uint32_t j) {
    const std::uint64_t s = sets[i]->size();
    const std::uint64_t t = sets[j]->size();
    if (s < t) out.subclass(keys[i].cls, keys[j].cls, {1, s << 32 | t, i, j});
  });
  out.finish_step();
}

template <class T>
void set_subsumption(KeyAxiomEmitter& out, const KeyList<std::vector<T>>& keys) {
  std::vector<const std::vector<T>*> sets;
  sets.reserve(keys.size());
  for (const auto& k : keys) sets.push_back(&k.value);
  for_each_subset_pair<T>(sets, [&](std::uint32_t i, std::uint32_t j) {
    out.subclass(keys[i].cls, keys[j].cls, pair_order(i, j));
  });
  out.finish_step();
}

}  // namespace

void emit_key_subsumption(KeyAxiomEmitter& out, const KeyLists& keys) {
  int_subsumption(out, keys.ints);
  interval_subsumption(out, keys.floats);
  interval_subsumption(out, keys.doubles);
  interval_subsumption(out, keys.decimals);
  interval_subsumption(out, keys.dates);
  interval_subsumption(out, keys.date_times);
  if (switch_flag(SwitchId::DkeyStrSizeIndex)) {
    string_size_indexed(out, keys.strings);
  } else {
    all_or_set_pairwise<std::string>(out, keys.strings,
                                     [](const ValueRange::Strings& v) -> const auto& { return v.set; });
  }
  all_or_set_pairwise<LangString>(out, keys.langs, [](const LangStrings& v) -> const auto& { return v.set; });
  set_subsumption(out, keys.int_sets);
  set_subsumption(out, keys.float_sets);
  set_subsumption(out, keys.double_sets);
  set_subsumption(out, keys.decimal_sets);
  set_subsumption(out, keys.date_sets);
  set_subsumption(out, keys.date_time_sets);
}

}  // namespace dkeys
}  // namespace kelmon
