// The decoded value of one data-value key class, as the tableau's data clash
// check consults it. The reasoning kernel keeps one per key class.
#pragma once

#include <optional>
#include <string_view>
#include <variant>

#include "core/data/intervals.h"
#include "core/data/value_sets.h"

namespace kelmon {

struct DKeyValue {
  struct IntRange {  // bare integer key, bounds as written
    IntInterval interval;
    bool operator==(const IntRange&) const = default;
  };
  struct Strings {  // absent: every string
    std::optional<StringSet> set;
    bool operator==(const Strings&) const = default;
  };
  struct FloatRange {  // "f:" and "db:" alike; a zero bound of either sign is +0
    FloatInterval interval;
    bool is_double = false;  // "db:": xsd:double's value space is disjoint from xsd:float's
    bool operator==(const FloatRange&) const = default;
  };
  struct DecimalRange {
    DecimalInterval interval;
    bool operator==(const DecimalRange&) const = default;
  };
  struct DateRange {
    DateInterval interval;
    bool operator==(const DateRange&) const = default;
  };
  struct DateTimeRange {
    DateTimeInterval interval;
    bool operator==(const DateTimeRange&) const = default;
  };
  struct IntSet {
    IntValueSet values;
    bool operator==(const IntSet&) const = default;
  };
  struct FloatSet {  // "fo:" and "dbo:" alike
    FloatValueSet values;
    bool is_double = false;  // "dbo:"
    bool operator==(const FloatSet&) const = default;
  };
  struct DecimalSet {
    DecimalValueSet values;
    bool operator==(const DecimalSet&) const = default;
  };
  struct DateSet {
    DateValueSet values;
    bool operator==(const DateSet&) const = default;
  };
  struct DateTimeSet {
    DateTimeValueSet values;
    bool operator==(const DateTimeSet&) const = default;
  };
  using Kind = std::variant<IntRange, Strings, FloatRange, DecimalRange, DateRange, DateTimeRange, IntSet, FloatSet,
                            DecimalSet, DateSet, DateTimeSet>;

  Kind kind;
  bool operator==(const DKeyValue&) const = default;
};

// The value of a class name for the kernel's key map, or none for plain
// classes, "lang:" keys, "iset:" keys and texts no reading accepts.
std::optional<DKeyValue> decode_dkey_value(std::string_view class_name);

}  // namespace kelmon
