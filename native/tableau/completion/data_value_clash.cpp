#include "tableau/completion/internal/data_value_clash.h"

#include <algorithm>
#include <bit>
#include <string>
#include <variant>
#include <vector>

#include "tableau/completion/internal/interval_ops.h"

namespace kelmon::completion::internal {
namespace {

// One data value, as far as these checks tell values apart: an integer, a
// string, a float or double (flag, bit pattern), a decimal, a date, a date-time.
struct FloatBits {
  bool is_double;
  std::uint64_t bits;
  bool operator==(const FloatBits&) const = default;
};
using Value = std::variant<std::int64_t, std::string, FloatBits, DecimalValue, DateValue, DateTimeValue>;

// Enumerating a key's values beyond this many is not worth it here.
constexpr std::uint64_t kMaxValues = 256;

FloatBits float_bits(double v, bool is_double) { return {is_double, std::bit_cast<std::uint64_t>(v)}; }

// An integral decimal is the integer of the same value: 1.0 and 1 are one value.
Value exact_value(const DecimalValue& d) {
  if (auto i = decimal_to_i64(d)) return *i;
  return d;
}

DecimalValue as_decimal(std::int64_t i) {
  DecimalValue d;
  d.negative = i < 0;
  std::uint64_t magnitude = d.negative ? 0 - static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i);
  if (magnitude != 0) d.int_digits = std::to_string(magnitude);
  return d;
}

// The values of a key that holds finitely many (at most kMaxValues); none otherwise.
std::optional<std::vector<Value>> finite_values(const DKeyValue& key) {
  using K = DKeyValue;
  std::vector<Value> out;
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
    for (double v : s->values) out.emplace_back(float_bits(v, s->is_double));
    return out;
  } else if (const auto* s = std::get_if<K::DecimalSet>(&key.kind)) {
    if (s->values.size() > kMaxValues) return std::nullopt;
    for (const DecimalValue& v : s->values) out.push_back(exact_value(v));
    return out;
  } else if (const auto* r = std::get_if<K::DecimalRange>(&key.kind)) {
    if (dense_count(r->interval) == std::optional<std::uint64_t>(1)) {
      out.push_back(exact_value(*r->interval.lower));
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

// The value spaces the checks tell apart; integers and decimals share one.
enum class Space { Exact, Float, Double, String, Date, DateTime };

Space space_of(const Value& v) {
  if (std::holds_alternative<std::int64_t>(v) || std::holds_alternative<DecimalValue>(v)) return Space::Exact;
  if (const auto* f = std::get_if<FloatBits>(&v)) return f->is_double ? Space::Double : Space::Float;
  if (std::holds_alternative<std::string>(v)) return Space::String;
  return std::holds_alternative<DateValue>(v) ? Space::Date : Space::DateTime;
}

Space space_of(const DKeyValue& key) {
  using K = DKeyValue;
  return std::visit(
      [](const auto& k) -> Space {
        using T = std::decay_t<decltype(k)>;
        if constexpr (std::is_same_v<T, K::FloatRange> || std::is_same_v<T, K::FloatSet>)
          return k.is_double ? Space::Double : Space::Float;
        else if constexpr (std::is_same_v<T, K::Strings>)
          return Space::String;
        else if constexpr (std::is_same_v<T, K::DateRange> || std::is_same_v<T, K::DateSet>)
          return Space::Date;
        else if constexpr (std::is_same_v<T, K::DateTimeRange> || std::is_same_v<T, K::DateTimeSet>)
          return Space::DateTime;
        else
          return Space::Exact;
      },
      key.kind);
}

template <class T>
bool in_sorted(const std::vector<T>& values, const T& v) {
  return std::find(values.begin(), values.end(), v) != values.end();
}

// Whether the key holds the value: none when these checks cannot tell (an
// integer against a decimal key, a value against a dense range).
std::optional<bool> holds(const DKeyValue& key, const Value& v) {
  using K = DKeyValue;
  if (space_of(key) != space_of(v)) return false;
  if (const auto* i = std::get_if<std::int64_t>(&v)) {
    if (const auto* s = std::get_if<K::IntSet>(&key.kind)) return std::binary_search(s->values.begin(), s->values.end(), *i);
    if (const auto* r = std::get_if<K::IntRange>(&key.kind))
      return (!r->interval.lower || *r->interval.lower <= *i) && (!r->interval.upper || *i <= *r->interval.upper);
    return holds(key, Value{as_decimal(*i)});
  }
  if (const auto* s = std::get_if<std::string>(&v)) {
    const auto& set = std::get<K::Strings>(key.kind).set;
    return !set || std::binary_search(set->begin(), set->end(), *s);
  }
  if (const auto* f = std::get_if<FloatBits>(&v)) {
    if (const auto* s = std::get_if<K::FloatSet>(&key.kind)) {
      return std::any_of(s->values.begin(), s->values.end(),
                         [&](double x) { return float_bits(x, s->is_double) == *f; });
    }
    const FloatInterval& i = std::get<K::FloatRange>(key.kind).interval;
    FloatInterval point{f->bits, f->bits, true, true};
    return interval_within(point, i);
  }
  if (const auto* d = std::get_if<DecimalValue>(&v)) {
    if (const auto* s = std::get_if<K::DecimalSet>(&key.kind)) return in_sorted(s->values, *d);
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
    if (const auto* s = std::get_if<K::DateSet>(&key.kind)) return in_sorted(s->values, *d);
    return std::nullopt;
  }
  const auto& t = std::get<DateTimeValue>(v);
  if (const auto* s = std::get_if<K::DateTimeSet>(&key.kind)) return in_sorted(s->values, t);
  return std::nullopt;
}

struct KeyLabel {
  const DKeyValue* key;
  std::size_t position;
};

}  // namespace

std::optional<DepSet> value_node_clash(const TableauContext& ctx, NodeId id) {
  const GraphNode& n = ctx.node(id);
  std::vector<KeyLabel> positive, negative;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = ctx.concept_of(n.labels[i]);
    if (const Not* neg = std::get_if<Not>(&c)) {
      if (const DKeyValue* k = ctx.data_range_of(neg->operand)) negative.push_back({k, i});
    } else if (const DKeyValue* k = ctx.data_range_of(n.labels[i])) {
      positive.push_back({k, i});
    }
  }
  if (positive.empty() || (positive.size() < 2 && negative.empty())) return std::nullopt;
  auto possible = [&](const Value& v) {
    for (const KeyLabel& p : positive) {
      if (holds(*p.key, v) == std::optional<bool>(false)) return false;
    }
    for (const KeyLabel& q : negative) {
      if (holds(*q.key, v) == std::optional<bool>(true)) return false;
    }
    return true;
  };
  auto rules_out_all = [&](const DKeyValue& key) {
    const auto values = finite_values(key);
    return values && std::none_of(values->begin(), values->end(), possible);
  };
  // Integer ranges are met as one: [0,inf) and (-inf,0] leave only 0.
  std::optional<DKeyValue> int_meet;
  std::size_t int_ranges = 0;
  for (const KeyLabel& p : positive) {
    const auto* r = std::get_if<DKeyValue::IntRange>(&p.key->kind);
    if (!r) continue;
    ++int_ranges;
    if (!int_meet) int_meet = DKeyValue{DKeyValue::IntRange{r->interval}};
    else {
      auto& meet = std::get<DKeyValue::IntRange>(int_meet->kind).interval;
      meet = interval_intersect(meet, r->interval);
    }
  }
  const bool clash = std::any_of(positive.begin(), positive.end(), [&](const KeyLabel& p) { return rules_out_all(*p.key); }) ||
                     (int_ranges >= 2 && rules_out_all(*int_meet));
  if (!clash) return std::nullopt;
  // Every key label of the node took part in ruling the values out.
  DepSet deps;
  for (const auto* list : {&positive, &negative}) {
    for (const KeyLabel& k : *list) deps.join(n.label_deps[k.position]);
  }
  return deps;
}

std::optional<DepSet> disjoint_data_roles_clash(const TableauContext& ctx, NodeId id) {
  if (ctx.disjoint_role_pairs.empty()) return std::nullopt;
  struct Needed {
    RoleId role;
    Value value;
    std::size_t position;
  };
  const GraphNode& n = ctx.node(id);
  std::vector<Needed> needed;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Concept& c = ctx.concept_of(n.labels[i]);
    std::optional<Role> role;
    ConceptId filler{};
    if (const Some* s = std::get_if<Some>(&c)) role = s->role, filler = s->filler;
    if (const Min* m = std::get_if<Min>(&c); m && m->n >= 1) role = m->role, filler = m->filler;
    if (!role || role->inverse != 0) continue;
    const DKeyValue* k = ctx.data_range_of(filler);
    if (!k) continue;
    const auto values = finite_values(*k);
    if (values && values->size() == 1) needed.push_back({role->id, values->front(), i});
  }
  for (const auto& [p, q] : ctx.disjoint_role_pairs) {
    for (const Needed& a : needed) {
      if (a.role != p) continue;
      for (const Needed& b : needed) {
        if (b.role == q && a.value == b.value) return DepSet::union_of(n.label_deps[a.position], n.label_deps[b.position]);
      }
    }
  }
  return std::nullopt;
}

}  // namespace kelmon::completion::internal
