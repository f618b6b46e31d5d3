// The key pass written out as plain nested loops over all pairs, in the loop
// order that defines it, interning each Atomic concept when its first axiom is
// emitted. The pass itself finds its pairs by sorted sweeps; the random
// comparison test checks that both give the same axioms and concept ids.
#pragma once

#include <map>
#include <optional>

#include "common/switches.h"
#include "core/data/internal/utf8.h"
#include "core/dkeys/dkey_pass.h"
#include "core/dkeys/key_bucket_context.h"
#include "core/dkeys/key_lists.h"

namespace kelmon::testing::reference {

inline std::partial_ordering cmp(std::uint64_t a, std::uint64_t b) {
  return float_from_bits(a) <=> float_from_bits(b);
}
inline std::partial_ordering cmp(const DecimalValue& a, const DecimalValue& b) { return cmp_decimal(a, b); }
inline std::partial_ordering cmp(const DateValue& a, const DateValue& b) { return a <=> b; }
inline std::partial_ordering cmp(const DateTimeValue& a, const DateTimeValue& b) { return a <=> b; }

template <class I>
bool within(const I& i, const I& j) {
  bool lower = true, upper = true;
  if (j.lower) {
    if (!i.lower) lower = false;
    else {
      auto c = cmp(*i.lower, *j.lower);
      lower = c > 0 || (c == 0 && (j.lower_inclusive || !i.lower_inclusive));
    }
  }
  if (j.upper) {
    if (!i.upper) upper = false;
    else {
      auto c = cmp(*i.upper, *j.upper);
      upper = c < 0 || (c == 0 && (j.upper_inclusive || !i.upper_inclusive));
    }
  }
  return lower && upper;
}

template <class I>
bool below(const I& x, const I& y) {
  if (!x.upper || !y.lower) return false;
  auto c = cmp(*x.upper, *y.lower);
  return c < 0 || (c == 0 && !(x.upper_inclusive && y.lower_inclusive));
}

inline bool int_within(const std::vector<IntInterval>& a, const std::vector<IntInterval>& b) {
  for (const auto& i : a) {
    if (i.lower && i.upper && *i.lower > *i.upper) continue;
    bool found = false;
    for (const auto& j : b)
      if ((!j.lower || (i.lower && *i.lower >= *j.lower)) && (!j.upper || (i.upper && *i.upper <= *j.upper))) found = true;
    if (!found) return false;
  }
  return true;
}
inline bool int_disjoint(const std::vector<IntInterval>& a, const std::vector<IntInterval>& b) {
  for (const auto& x : a)
    for (const auto& y : b)
      if ((!y.lower || !x.upper || *x.upper >= *y.lower) && (!y.upper || !x.lower || *y.upper >= *x.lower)) return false;
  return true;
}
template <class T>
bool subset(const std::vector<T>& a, const std::vector<T>& b) {
  if (a.size() > b.size()) return false;
  for (const auto& v : a)
    if (std::find(b.begin(), b.end(), v) == b.end()) return false;
  return true;
}
template <class T>
bool share(const std::vector<T>& a, const std::vector<T>& b) {
  for (const auto& v : a)
    if (std::find(b.begin(), b.end(), v) != b.end()) return true;
  return false;
}

struct Pass {
  InternalOntology& o;

  void emit_sub(ClassId a, ClassId b) {
    ConceptId x = o.concepts.intern(Atomic{a});
    ConceptId y = o.concepts.intern(Atomic{b});
    o.axioms.push_back(SubClassOf{x, y});
  }
  void emit_disjoint(ClassId a, ClassId b) {
    ConceptId x = o.concepts.intern(Atomic{a});
    ConceptId y = o.concepts.intern(Atomic{b});
    o.axioms.push_back(DisjointClasses{{x, y}});
  }

  template <class V, class Test>
  void pairs_sub(const KeyList<V>& keys, Test test) {
    for (std::size_t i = 0; i < keys.size(); ++i)
      for (std::size_t j = 0; j < keys.size(); ++j)
        if (i != j && test(keys[i].value, keys[j].value)) emit_sub(keys[i].cls, keys[j].cls);
  }

  void subsumption(const KeyLists& k) {
    pairs_sub(k.ints, int_within);
    auto iv = [](const auto& a, const auto& b) { return within(a, b); };
    pairs_sub(k.floats, iv);
    pairs_sub(k.doubles, iv);
    pairs_sub(k.decimals, iv);
    pairs_sub(k.dates, iv);
    pairs_sub(k.date_times, iv);
    auto str_within = [](const ValueRange::Strings& a, const ValueRange::Strings& b) {
      if (!b.set) return true;
      if (!a.set) return false;
      return subset(*a.set, *b.set);
    };
    if (switch_flag(SwitchId::DkeyStrSizeIndex)) {
      std::map<std::size_t, std::vector<std::size_t>> by_size;
      std::vector<std::size_t> alls;
      for (std::size_t i = 0; i < k.strings.size(); ++i) {
        if (k.strings[i].value.set) by_size[k.strings[i].value.set->size()].push_back(i);
        else alls.push_back(i);
      }
      for (auto& [s, list] : by_size)
        for (auto i : list)
          for (auto a : alls) emit_sub(k.strings[i].cls, k.strings[a].cls);
      for (auto s = by_size.begin(); s != by_size.end(); ++s)
        for (auto t = std::next(s); t != by_size.end(); ++t)
          for (auto i : s->second)
            for (auto j : t->second)
              if (subset(*k.strings[i].value.set, *k.strings[j].value.set)) emit_sub(k.strings[i].cls, k.strings[j].cls);
    } else {
      pairs_sub(k.strings, str_within);
    }
    pairs_sub(k.langs, lang_values_subset);
    auto sets = [](const auto& a, const auto& b) { return subset(a, b); };
    pairs_sub(k.int_sets, sets);
    pairs_sub(k.float_sets, sets);
    pairs_sub(k.double_sets, sets);
    pairs_sub(k.decimal_sets, sets);
    pairs_sub(k.date_sets, sets);
    pairs_sub(k.date_time_sets, sets);
  }

  static bool holds(const tsl::robin_map<ClassId, std::vector<GroupRoot>>& t, ClassId k, GroupRoot r) {
    auto it = t.find(k);
    return it != t.end() && std::find(it->second.begin(), it->second.end(), r) != it->second.end();
  }

  template <class V, class Disjoint>
  void bucket(const KeyList<V>& keys, const std::optional<KeyBucketContext>& ctx, Disjoint disjoint) {
    if (!ctx) {
      for (std::size_t i = 0; i < keys.size(); ++i)
        for (std::size_t j = i + 1; j < keys.size(); ++j)
          if (disjoint(keys[i].value, keys[j].value)) emit_disjoint(keys[i].cls, keys[j].cls);
      return;
    }
    std::vector<std::size_t> direct, grouped;
    std::map<GroupRoot, std::vector<std::size_t>> buckets;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (ctx->direct_keys.contains(keys[i].cls)) {
        direct.push_back(i);
        continue;
      }
      auto it = ctx->key_groups.find(keys[i].cls);
      if (it == ctx->key_groups.end()) continue;
      grouped.push_back(i);
      for (auto r : it->second) buckets[r].push_back(i);
    }
    std::set<std::pair<std::uint32_t, std::uint32_t>> pairs, skipped;
    const bool emit_order = switch_flag(SwitchId::DkeyEmitOrder);
    const bool collapse = switch_flag(SwitchId::DkeyCollapseSplit);
    const bool group_skip = switch_flag(SwitchId::DkeyGroupSkip);
    const bool split = group_skip && collapse && emit_order;
    auto decide = [&](std::size_t i, std::size_t j, bool in_bucket, GroupRoot root) {
      if (!disjoint(keys[i].value, keys[j].value)) return;
      auto p = std::minmax(keys[i].cls.v, keys[j].cls.v);
      if (!emit_order) {
        if (!pairs.insert(p).second) return;
      } else if (pairs.contains(p)) {
        return;
      }
      const bool collapsible = in_bucket && !ctx->all_pairs_groups.contains(root) &&
                               !holds(ctx->universal_groups, keys[i].cls, root) &&
                               !holds(ctx->universal_groups, keys[j].cls, root);
      if (collapse && collapsible) return;
      if (emit_order) pairs.insert(p);
      emit_disjoint(keys[i].cls, keys[j].cls);
    };
    for (auto& [root, m] : buckets) {
      if (split && !ctx->all_pairs_groups.contains(root)) {
        std::vector<std::size_t> u, r;
        for (auto x : m) (holds(ctx->universal_groups, keys[x].cls, root) ? u : r).push_back(x);
        if (!r.empty()) {
          for (std::size_t a = 0; a < u.size(); ++a) {
            for (std::size_t b = a + 1; b < u.size(); ++b) decide(u[a], u[b], true, root);
            for (auto y : r) decide(u[a], y, true, root);
          }
          continue;
        }
      }
      for (std::size_t a = 0; a < m.size(); ++a)
        for (std::size_t b = a + 1; b < m.size(); ++b) decide(m[a], m[b], true, root);
    }
    for (std::size_t a = 0; a < direct.size(); ++a) {
      for (std::size_t b = a + 1; b < direct.size(); ++b) decide(direct[a], direct[b], false, 0);
      for (auto g : grouped) decide(direct[a], g, false, 0);
    }
  }

  static std::optional<std::vector<GroupRoot>> partner(const KeyBucketContext& c, ClassId k, bool& free) {
    free = false;
    if (c.direct_keys.contains(k)) {
      free = true;
      return std::vector<GroupRoot>{};
    }
    auto it = c.key_groups.find(k);
    if (it == c.key_groups.end()) return std::nullopt;
    return it->second;
  }
  static bool admitted(const KeyBucketContext& c, ClassId a, ClassId b) {
    bool free_a = false, free_b = false;
    auto ga = partner(c, a, free_a);
    if (!ga) return false;
    auto gb = partner(c, b, free_b);
    if (!gb) return false;
    if (free_a || free_b) return true;
    for (auto r : *ga)
      if (std::find(gb->begin(), gb->end(), r) != gb->end()) return true;
    return false;
  }

  template <class A, class B, class Test>
  void cross(const KeyList<A>& first, const KeyList<B>& second, const std::optional<KeyBucketContext>& ctx, Test emit_if) {
    for (const auto& a : first)
      for (const auto& b : second)
        if ((!ctx || admitted(*ctx, a.cls, b.cls)) && emit_if(a.value, b.value)) emit_disjoint(a.cls, b.cls);
  }

  template <class I, class T>
  static bool inside(const I& r, const T& v) {
    bool lo = !r.lower, hi = !r.upper;
    if (r.lower) {
      auto c = cmp(*r.lower, v);
      lo = c < 0 || (c == 0 && r.lower_inclusive);
    }
    if (r.upper) {
      auto c = cmp(v, *r.upper);
      hi = c < 0 || (c == 0 && r.upper_inclusive);
    }
    return lo && hi;
  }

  void disjointness(const KeyLists& k, const std::optional<KeyBucketContext>& ctx) {
    auto iv = [](const auto& a, const auto& b) { return below(a, b) || below(b, a); };
    bucket(k.ints, ctx, int_disjoint);
    bucket(k.floats, ctx, iv);
    bucket(k.doubles, ctx, iv);
    bucket(k.decimals, ctx, iv);
    bucket(k.dates, ctx, iv);
    bucket(k.date_times, ctx, iv);
    bucket(k.strings, ctx, [](const auto& a, const auto& b) { return a.set && b.set && !share(*a.set, *b.set); });
    bucket(k.langs, ctx, lang_values_disjoint);
    auto always = [](const auto&, const auto&) { return true; };
    if (switch_flag(SwitchId::DkeyCrossBucketDisjoint)) {
      cross(k.floats, k.doubles, ctx, always);
      cross(k.floats, k.decimals, ctx, always);
      cross(k.floats, k.ints, ctx, always);
      cross(k.doubles, k.decimals, ctx, always);
      cross(k.doubles, k.ints, ctx, always);
      // Value spaces sharing no value: every remaining pair of kinds from two of them.
      auto against_dates_and_strings = [&](const auto& first) {
        cross(first, k.strings, ctx, always);
        cross(first, k.dates, ctx, always);
        cross(first, k.date_sets, ctx, always);
        cross(first, k.date_times, ctx, always);
        cross(first, k.date_time_sets, ctx, always);
      };
      cross(k.floats, k.double_sets, ctx, always);
      cross(k.floats, k.int_sets, ctx, always);
      cross(k.floats, k.decimal_sets, ctx, always);
      against_dates_and_strings(k.floats);
      cross(k.doubles, k.float_sets, ctx, always);
      cross(k.doubles, k.int_sets, ctx, always);
      cross(k.doubles, k.decimal_sets, ctx, always);
      against_dates_and_strings(k.doubles);
      cross(k.decimals, k.float_sets, ctx, always);
      cross(k.decimals, k.double_sets, ctx, always);
      against_dates_and_strings(k.decimals);
      cross(k.ints, k.float_sets, ctx, always);
      cross(k.ints, k.double_sets, ctx, always);
      against_dates_and_strings(k.ints);
      cross(k.float_sets, k.double_sets, ctx, always);
      cross(k.float_sets, k.int_sets, ctx, always);
      cross(k.float_sets, k.decimal_sets, ctx, always);
      against_dates_and_strings(k.float_sets);
      cross(k.double_sets, k.int_sets, ctx, always);
      cross(k.double_sets, k.decimal_sets, ctx, always);
      against_dates_and_strings(k.double_sets);
      against_dates_and_strings(k.int_sets);
      against_dates_and_strings(k.decimal_sets);
      cross(k.strings, k.dates, ctx, always);
      cross(k.strings, k.date_sets, ctx, always);
      cross(k.strings, k.date_times, ctx, always);
      cross(k.strings, k.date_time_sets, ctx, always);
      cross(k.dates, k.date_times, ctx, always);
      cross(k.dates, k.date_time_sets, ctx, always);
      cross(k.date_sets, k.date_times, ctx, always);
      cross(k.date_sets, k.date_time_sets, ctx, always);
    }
    auto sets = [](const auto& a, const auto& b) { return !share(a, b); };
    bucket(k.int_sets, ctx, sets);
    bucket(k.float_sets, ctx, sets);
    bucket(k.double_sets, ctx, sets);
    bucket(k.decimal_sets, ctx, sets);
    bucket(k.date_sets, ctx, sets);
    bucket(k.date_time_sets, ctx, sets);
    cross(k.ints, k.int_sets, ctx, [](const std::vector<IntInterval>& r, const IntValueSet& o) {
      for (auto v : o)
        for (const auto& i : r)
          if ((!i.lower || *i.lower <= v) && (!i.upper || v <= *i.upper)) return false;
      return true;
    });
    auto none_inside_float = [](const FloatInterval& r, const FloatValueSet& o) {
      for (double v : o)
        if (inside(r, float_bits(v))) return false;
      return true;
    };
    cross(k.floats, k.float_sets, ctx, none_inside_float);
    cross(k.doubles, k.double_sets, ctx, none_inside_float);
    auto none_inside = [](const auto& r, const auto& o) {
      for (const auto& v : o)
        if (inside(r, v)) return false;
      return true;
    };
    cross(k.decimals, k.decimal_sets, ctx, none_inside);
    cross(k.dates, k.date_sets, ctx, none_inside);
    cross(k.date_times, k.date_time_sets, ctx, none_inside);
  }

  void run() {
    const KeyLists keys = decode_key_lists(o.vocabulary.classes, switch_flag(SwitchId::DkeyOneofSeed));
    std::optional<KeyBucketContext> ctx;
    if (switch_flag(SwitchId::BoundedDkeyDisjoint))
      ctx = build_key_bucket_context(o, key_class_flags(o.vocabulary.classes));
    subsumption(keys);
    disjointness(keys, ctx);
  }
};

}  // namespace kelmon::testing::reference
