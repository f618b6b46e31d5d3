#include "core/data/key_witness.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/data/interval_ops.h"
#include "core/data/key_values.h"

namespace kelmon {
namespace {

using Keys = std::span<const DKeyValue* const>;

// True: the value fits; false: some key rules it out; none: cannot tell.
std::optional<bool> fits(Keys inside, Keys outside, const KeyValue& v) {
  bool unsure = false;
  for (const DKeyValue* k : inside) {
    const auto h = key_holds(*k, v);
    if (h == std::optional<bool>(false)) return false;
    unsure = unsure || !h;
  }
  for (const DKeyValue* k : outside) {
    const auto h = key_holds(*k, v);
    if (h == std::optional<bool>(true)) return false;
    unsure = unsure || !h;
  }
  if (unsure) return std::nullopt;
  return true;
}

KeyWitness search(Keys inside, Keys outside, const std::vector<KeyValue>& candidates) {
  bool unsure = false;
  for (const KeyValue& v : candidates) {
    const auto f = fits(inside, outside, v);
    if (f == std::optional<bool>(true)) return KeyWitness::Found;
    unsure = unsure || !f;
  }
  return unsure ? KeyWitness::Unknown : KeyWitness::None;
}

// Integer candidates: each bound with its neighbours. Incomplete once a bound
// sits at a 64-bit end (past it lie integers no candidate can name) or a
// decimal bound lies beyond the 64-bit integers.
struct IntCandidates {
  std::vector<KeyValue> values;
  bool complete = true;

  void add(std::optional<std::int64_t> b) {
    if (!b) return;
    values.emplace_back(*b);
    if (*b == INT64_MIN || *b == INT64_MAX) complete = false;
    if (*b > INT64_MIN) values.emplace_back(*b - 1);
    if (*b < INT64_MAX) values.emplace_back(*b + 1);
  }
  // The integers next to a decimal: its integer part and one either side.
  void add_near(const DecimalValue& d) {
    DecimalValue whole = d;
    whole.frac_digits.clear();
    if (whole.int_digits.empty()) whole.negative = false;
    const auto t = decimal_to_i64(whole);
    if (!t) complete = false;
    add(t);
  }
  void add_key(const DKeyValue& key) {
    using K = DKeyValue;
    if (const auto* r = std::get_if<K::IntRange>(&key.kind)) {
      add(r->interval.lower), add(r->interval.upper);
    } else if (const auto* s = std::get_if<K::IntSet>(&key.kind)) {
      for (std::int64_t v : s->values) add(v);
    } else if (const auto* r = std::get_if<K::DecimalRange>(&key.kind)) {
      if (r->interval.lower) add_near(*r->interval.lower);
      if (r->interval.upper) add_near(*r->interval.upper);
    } else if (const auto* s = std::get_if<K::DecimalSet>(&key.kind)) {
      for (const DecimalValue& v : s->values) add_near(v);
    }
  }
};

template <class T>
bool all_are(Keys keys) {
  return std::all_of(keys.begin(), keys.end(), [](const DKeyValue* k) { return std::holds_alternative<T>(k->kind); });
}

// The meet of the inside keys' intervals, read from each key by `read`.
template <class Read>
auto meet_of(Keys inside, const Read& read) {
  auto m = read(*inside.front());
  for (const DKeyValue* k : inside.subspan(1)) m = interval_intersect(m, read(*k));
  return m;
}

}  // namespace

KeyWitness key_witness(Keys inside, Keys outside) {
  using K = DKeyValue;
  if (inside.empty()) return KeyWitness::Unknown;
  const ValueSpace space = value_space(*inside.front());
  for (const DKeyValue* k : inside)
    if (value_space(*k) != space) return KeyWitness::None;  // a value lies in one space
  // A key of few values: try each.
  for (const DKeyValue* k : inside) {
    if (auto values = finite_key_values(*k)) {
      const KeyWitness w = search(inside, outside, *values);
      if (w != KeyWitness::Unknown) return w;
    }
  }
  const bool any_int = std::any_of(inside.begin(), inside.end(), [](const DKeyValue* k) {
    return std::holds_alternative<K::IntRange>(k->kind) || std::holds_alternative<K::IntSet>(k->kind);
  });
  if (space == ValueSpace::Exact && any_int) {
    // The value is an integer. The fitting integers, when any, form runs; each
    // run starts or ends next to a bound of some key (or is every integer and
    // holds 0), so those neighbours are the only candidates to try.
    IntCandidates c;
    c.add(0);
    for (const DKeyValue* k : inside) c.add_key(*k);
    for (const DKeyValue* k : outside) c.add_key(*k);
    const KeyWitness w = search(inside, outside, c.values);
    return w == KeyWitness::None && !c.complete ? KeyWitness::Unknown : w;
  }
  if (all_are<K::DecimalRange>(inside)) {
    // Outside decimal ranges that leave the meet untouched or cover it are decided here.
    const DecimalInterval m = meet_of(inside, [](const K& k) { return std::get<K::DecimalRange>(k.kind).interval; });
    if (interval_empty(m)) return KeyWitness::None;
    if (dense_count(m) == std::optional<std::uint64_t>(1)) return search(inside, outside, {exact_key_value(*m.lower)});
    bool unsure = false;
    for (const DKeyValue* k : outside) {
      const auto* r = std::get_if<K::DecimalRange>(&k->kind);
      if (r == nullptr) continue;  // other spaces, integers or finitely many decimals: a dense range keeps values
      if (interval_within(m, r->interval)) return KeyWitness::None;
      if (!interval_empty(interval_intersect(m, r->interval))) unsure = true;
    }
    return unsure ? KeyWitness::Unknown : KeyWitness::Found;
  }
  if (all_are<K::Strings>(inside)) {
    // Every key is the set of all strings (sets of few were searched above).
    for (const DKeyValue* k : outside) {
      const auto* s = std::get_if<K::Strings>(&k->kind);
      if (s != nullptr && !s->set) return KeyWitness::None;
    }
    return KeyWitness::Found;
  }
  auto discrete = [&](auto read) {
    const auto m = meet_of(inside, read);
    if (interval_empty(m)) return KeyWitness::None;
    const bool same_space_outside = std::any_of(outside.begin(), outside.end(),
                                                [&](const DKeyValue* k) { return value_space(*k) == space; });
    // Only without outside keys of its space; a range open at both ends may hold no value.
    if (same_space_outside) return KeyWitness::Unknown;
    const bool has_value = !m.lower || !m.upper || m.lower_inclusive || m.upper_inclusive;
    return has_value ? KeyWitness::Found : KeyWitness::Unknown;
  };
  if (all_are<K::FloatRange>(inside))
    return discrete([](const K& k) { return std::get<K::FloatRange>(k.kind).interval; });
  if (all_are<K::DateRange>(inside)) return discrete([](const K& k) { return std::get<K::DateRange>(k.kind).interval; });
  if (all_are<K::DateTimeRange>(inside))
    return discrete([](const K& k) { return std::get<K::DateTimeRange>(k.kind).interval; });
  return KeyWitness::Unknown;
}

}  // namespace kelmon
