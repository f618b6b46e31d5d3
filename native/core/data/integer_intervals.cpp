#include "core/data/integer_intervals.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace kelmon {
namespace {

using Limits = std::numeric_limits<std::int64_t>;
constexpr std::optional<std::int64_t> none = std::nullopt;

constexpr std::array<std::pair<std::string_view, IntInterval>, 12> integer_types{{
    {"integer", {none, none}},
    {"long", {Limits::min(), Limits::max()}},
    {"int", {-2147483648LL, 2147483647LL}},
    {"short", {-32768, 32767}},
    {"byte", {-128, 127}},
    {"unsignedInt", {0, 4294967295LL}},
    {"unsignedShort", {0, 65535}},
    {"unsignedByte", {0, 255}},
    {"nonNegativeInteger", {0, none}},
    {"positiveInteger", {1, none}},
    {"nonPositiveInteger", {none, 0}},
    {"negativeInteger", {none, -1}},
}};

// Absent lower bounds first, then absent upper bounds last.
bool int_interval_less(const IntInterval& a, const IntInterval& b) {
  if (a.lower != b.lower) return !a.lower || (b.lower && *a.lower < *b.lower);
  if (a.upper != b.upper) return b.upper ? (a.upper && *a.upper < *b.upper) : static_cast<bool>(a.upper);
  return false;
}

// True when `next` (sorted after `last`) overlaps or touches it.
bool joins(const IntInterval& last, const IntInterval& next) {
  if (!last.upper || !next.lower) return true;
  // lower <= upper + 1 without computing upper + 1.
  return *next.lower <= *last.upper || *next.lower - 1 <= *last.upper;
}

}  // namespace

std::optional<IntInterval> xsd_integer_subtype_range(std::string_view local_name) {
  for (const auto& [name, interval] : integer_types)
    if (name == local_name) return interval;
  return std::nullopt;
}

std::optional<std::vector<IntInterval>> normalize_int_intervals(std::vector<IntInterval> intervals) {
  std::erase_if(intervals, [](const IntInterval& i) { return is_empty(i); });
  if (intervals.empty()) return std::nullopt;
  std::sort(intervals.begin(), intervals.end(), int_interval_less);
  std::vector<IntInterval> out;
  out.reserve(intervals.size());
  for (const IntInterval& next : intervals) {
    if (out.empty() || !joins(out.back(), next)) {
      out.push_back(next);
      continue;
    }
    IntInterval& last = out.back();
    last.lower = (last.lower && next.lower) ? std::optional(std::min(*last.lower, *next.lower)) : none;
    last.upper = (last.upper && next.upper) ? std::optional(std::max(*last.upper, *next.upper)) : none;
  }
  return out;
}

}  // namespace kelmon
