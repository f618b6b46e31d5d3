// Finite value sets: sorted vectors without duplicates, in each kind's own order.
#pragma once

#include <algorithm>
#include <compare>
#include <optional>
#include <cstdint>
#include <string>
#include <vector>

#include "core/data/date_time_value.h"
#include "core/data/decimal_value.h"

namespace kelmon {

using IntValueSet = std::vector<std::int64_t>;         // numeric order
using FloatValueSet = std::vector<double>;             // finite, numeric order, zero stored as +0
using DecimalValueSet = std::vector<DecimalValue>;     // cmp_decimal order
using DateValueSet = std::vector<DateValue>;           // chronological
using DateTimeValueSet = std::vector<DateTimeValue>;   // chronological
using StringSet = std::vector<std::string>;            // byte order

// A language-tagged string; readers store the tag ASCII-lowercased.
struct LangString {
  std::string lexical_form;
  std::string tag;
  auto operator<=>(const LangString&) const = default;
};
using LangStringSet = std::vector<LangString>;  // by lexical form, then tag, byte order

// Absent set: every language-tagged string.
struct LangStrings {
  std::optional<LangStringSet> set;
  bool operator==(const LangStrings&) const = default;
};

// Sorts and drops repeated values, making any vector of values a set.
template <class T>
void make_value_set(std::vector<T>& values) {
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
}

}  // namespace kelmon
