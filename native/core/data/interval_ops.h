// Interval and set operations shared by every value family: one template per
// operation, the bound order chosen by the bound type.
#pragma once

#include <algorithm>
#include <compare>
#include <cstdint>
#include <iterator>
#include <optional>
#include <vector>

#include "core/data/intervals.h"

namespace kelmon {

// IEEE 754 total order of two binary64 bit patterns.
inline std::strong_ordering float_bits_order(std::uint64_t a, std::uint64_t b) {
  auto key = [](std::uint64_t x) {
    const auto s = static_cast<std::int64_t>(x);
    const auto mask = static_cast<std::uint64_t>(s >> 63) >> 1;
    return static_cast<std::int64_t>(x ^ mask);
  };
  return key(a) <=> key(b);
}

inline std::strong_ordering bound_order(std::uint64_t a, std::uint64_t b) { return float_bits_order(a, b); }
template <class B>
std::strong_ordering bound_order(const B& a, const B& b) {
  return a <=> b;
}

// Empty when lower > upper, or equal and not both inclusive.
template <class I>
bool interval_empty(const I& i) {
  if (!i.lower || !i.upper) return false;
  const auto o = bound_order(*i.lower, *i.upper);
  return o > 0 || (o == 0 && !(i.lower_inclusive && i.upper_inclusive));
}

// The larger lower and the smaller upper bound; on a tie inclusive only when both are.
template <class I>
I interval_intersect(const I& a, const I& b) {
  I out;
  if (!a.lower) {
    out.lower = b.lower, out.lower_inclusive = b.lower_inclusive;
  } else if (!b.lower) {
    out.lower = a.lower, out.lower_inclusive = a.lower_inclusive;
  } else {
    const auto o = bound_order(*a.lower, *b.lower);
    const I& pick = o >= 0 ? a : b;
    out.lower = pick.lower;
    out.lower_inclusive = o == 0 ? (a.lower_inclusive && b.lower_inclusive) : pick.lower_inclusive;
  }
  if (!a.upper) {
    out.upper = b.upper, out.upper_inclusive = b.upper_inclusive;
  } else if (!b.upper) {
    out.upper = a.upper, out.upper_inclusive = a.upper_inclusive;
  } else {
    const auto o = bound_order(*a.upper, *b.upper);
    const I& pick = o <= 0 ? a : b;
    out.upper = pick.upper;
    out.upper_inclusive = o == 0 ? (a.upper_inclusive && b.upper_inclusive) : pick.upper_inclusive;
  }
  return out;
}

template <class I>
bool interval_within(const I& x, const I& y) {
  if (interval_empty(x)) return true;
  bool lower_ok = !y.lower;
  if (y.lower && x.lower) {
    const auto o = bound_order(*x.lower, *y.lower);
    lower_ok = o > 0 || (o == 0 && (y.lower_inclusive || !x.lower_inclusive));
  }
  bool upper_ok = !y.upper;
  if (y.upper && x.upper) {
    const auto o = bound_order(*x.upper, *y.upper);
    upper_ok = o < 0 || (o == 0 && (y.upper_inclusive || !x.upper_inclusive));
  }
  return lower_ok && upper_ok;
}

template <class I>
std::optional<std::uint64_t> dense_count(const I& i) {
  if (!i.lower || !i.upper) return std::nullopt;
  const auto o = bound_order(*i.lower, *i.upper);
  if (o > 0) return 0;
  if (o == 0) return (i.lower_inclusive && i.upper_inclusive) ? 1 : 0;
  return std::nullopt;
}

// Integer intervals: closed at both ends.
inline IntInterval interval_intersect(const IntInterval& a, const IntInterval& b) {
  IntInterval out;
  out.lower = !a.lower ? b.lower : !b.lower ? a.lower : std::max(*a.lower, *b.lower);
  out.upper = !a.upper ? b.upper : !b.upper ? a.upper : std::min(*a.upper, *b.upper);
  return out;
}

// Sets: absent means every value of the family.
template <class T>
using ValueSet = std::optional<std::vector<T>>;

template <class T>
ValueSet<T> set_intersect(const ValueSet<T>& a, const ValueSet<T>& b) {
  if (!a) return b;
  if (!b) return a;
  std::vector<T> out;
  std::set_intersection(a->begin(), a->end(), b->begin(), b->end(), std::back_inserter(out));
  return out;
}

template <class T>
bool set_empty(const ValueSet<T>& s) {
  return s && s->empty();
}

template <class T>
bool set_within(const ValueSet<T>& x, const ValueSet<T>& y) {
  if (!y) return true;
  if (!x) return false;
  return std::includes(y->begin(), y->end(), x->begin(), x->end());
}

template <class T>
std::optional<std::uint64_t> set_count(const ValueSet<T>& s) {
  if (!s) return std::nullopt;
  return s->size();
}

}  // namespace kelmon
