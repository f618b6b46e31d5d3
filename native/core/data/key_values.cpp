#include "core/data/key_values.h"

#include <algorithm>
#include <bit>
#include <type_traits>

#include "core/data/interval_ops.h"

namespace kelmon {
namespace {

// Enumerating a key's values beyond this many is not worth it.
constexpr std::uint64_t kMaxValues = 256;

FloatBits bits_of(double v, bool is_double) { return {is_double, std::bit_cast<std::uint64_t>(v)}; }

DecimalValue as_decimal(std::int64_t i) {
  DecimalValue d;
  d.negative = i < 0;
  const std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i);
  if (magnitude != 0) d.int_digits = std::to_string(magnitude);
  return d;
}

template <class T>
bool contains(const std::vector<T>& values, const T& v) {
  return std::find(values.begin(), values.end(), v) != values.end();
}

}  // namespace

KeyValue exact_key_value(const DecimalValue& d) {
  if (auto i = decimal_to_i64(d)) return *i;
  return d;
}

std::optional<std::vector<KeyValue>> finite_key_values(const DKeyValue& key) {
  using K = DKeyValue;
  std::vector<KeyValue> out;
  auto take = [&](const auto& values) {
    if (values.size() > kMaxValues) return false;
    out.assign(values.begin(), values.end());
    return true;
  };
  if (const auto* s = std::get_if<K::IntSet>(&key.kind)) {
    if (take(s->values)) return out;
  } else if (const auto* s = std::get_if<K::Strings>(&key.kind)) {
    if (s->set && take(*s->set)) return out;
  } else if (const auto* s = std::get_if<K::FloatSet>(&key.kind)) {
    if (s->values.size() > kMaxValues) return std::nullopt;
    for (double v : s->values) out.emplace_back(bits_of(v, s->is_double));
    return out;
  } else if (const auto* s = std::get_if<K::DecimalSet>(&key.kind)) {
    if (s->values.size() > kMaxValues) return std::nullopt;
    for (const DecimalValue& v : s->values) out.push_back(exact_key_value(v));
    return out;
  } else if (const auto* r = std::get_if<K::DecimalRange>(&key.kind)) {
    if (dense_count(r->interval) == std::optional<std::uint64_t>(1)) {
      out.push_back(exact_key_value(*r->interval.lower));
      return out;
    }
  } else if (const auto* s = std::get_if<K::DateSet>(&key.kind)) {
    if (take(s->values)) return out;
  } else if (const auto* s = std::get_if<K::DateTimeSet>(&key.kind)) {
    if (take(s->values)) return out;
  } else if (const auto* r = std::get_if<K::IntRange>(&key.kind)) {
    const IntInterval& i = r->interval;
    if (!i.lower || !i.upper) return std::nullopt;
    if (*i.upper < *i.lower) return out;
    if (static_cast<std::uint64_t>(*i.upper) - static_cast<std::uint64_t>(*i.lower) >= kMaxValues) return std::nullopt;
    for (std::int64_t v = *i.lower;; ++v) {
      out.emplace_back(v);
      if (v == *i.upper) break;
    }
    return out;
  } else if (const auto* r = std::get_if<K::FloatRange>(&key.kind)) {
    if (dense_count(r->interval) == std::optional<std::uint64_t>(1)) {
      out.emplace_back(FloatBits{r->is_double, *r->interval.lower});
      return out;
    }
  }
  return std::nullopt;
}

ValueSpace value_space(const KeyValue& v) {
  if (std::holds_alternative<std::int64_t>(v) || std::holds_alternative<DecimalValue>(v)) return ValueSpace::Exact;
  if (const auto* f = std::get_if<FloatBits>(&v)) return f->is_double ? ValueSpace::Double : ValueSpace::Float;
  if (std::holds_alternative<std::string>(v)) return ValueSpace::String;
  return std::holds_alternative<DateValue>(v) ? ValueSpace::Date : ValueSpace::DateTime;
}

ValueSpace value_space(const DKeyValue& key) {
  using K = DKeyValue;
  return std::visit(
      [](const auto& k) -> ValueSpace {
        using T = std::decay_t<decltype(k)>;
        if constexpr (std::is_same_v<T, K::FloatRange> || std::is_same_v<T, K::FloatSet>)
          return k.is_double ? ValueSpace::Double : ValueSpace::Float;
        else if constexpr (std::is_same_v<T, K::Strings>)
          return ValueSpace::String;
        else if constexpr (std::is_same_v<T, K::DateRange> || std::is_same_v<T, K::DateSet>)
          return ValueSpace::Date;
        else if constexpr (std::is_same_v<T, K::DateTimeRange> || std::is_same_v<T, K::DateTimeSet>)
          return ValueSpace::DateTime;
        else
          return ValueSpace::Exact;
      },
      key.kind);
}

std::optional<bool> key_holds(const DKeyValue& key, const KeyValue& v) {
  using K = DKeyValue;
  if (value_space(key) != value_space(v)) return false;
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    if (const auto* s = std::get_if<K::IntSet>(&key.kind)) return std::binary_search(s->values.begin(), s->values.end(), *i);
    if (const auto* r = std::get_if<K::IntRange>(&key.kind))
      return (!r->interval.lower || *r->interval.lower <= *i) && (!r->interval.upper || *i <= *r->interval.upper);
    return key_holds(key, KeyValue{as_decimal(*i)});
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    const auto& set = std::get<K::Strings>(key.kind).set;
    return !set || std::binary_search(set->begin(), set->end(), *s);
  }
  if (const auto* f = std::get_if<FloatBits>(&v)) {
    if (const auto* s = std::get_if<K::FloatSet>(&key.kind)) {
      return std::any_of(s->values.begin(), s->values.end(),
                         [&](double x) { return bits_of(x, s->is_double) == *f; });
    }
    const FloatInterval& i = std::get<K::FloatRange>(key.kind).interval;
    const FloatInterval point{f->bits, f->bits, true, true};
    return interval_within(point, i);
  }
  if (const auto* d = std::get_if<DecimalValue>(&v)) {
    if (const auto* s = std::get_if<K::DecimalSet>(&key.kind)) return contains(s->values, *d);
    if (const auto* r = std::get_if<K::DecimalRange>(&key.kind)) {
      const DecimalInterval point{*d, *d, true, true};
      return interval_within(point, r->interval);
    }
    // Integer keys hold integers only; an integral decimal arrives as an integer.
    if (!decimal_to_i64(*d) && (std::holds_alternative<K::IntRange>(key.kind) || std::holds_alternative<K::IntSet>(key.kind)))
      return false;
    return std::nullopt;
  }
  if (const auto* d = std::get_if<DateValue>(&v)) {
    if (const auto* s = std::get_if<K::DateSet>(&key.kind)) return contains(s->values, *d);
    return std::nullopt;
  }
  const auto& t = std::get<DateTimeValue>(v);
  if (const auto* s = std::get_if<K::DateTimeSet>(&key.kind)) return contains(s->values, t);
  return std::nullopt;
}

}  // namespace kelmon
