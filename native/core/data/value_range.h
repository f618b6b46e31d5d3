// A restricted value space of one kind, and the intersection of several.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/data/intervals.h"
#include "core/data/value_sets.h"

namespace kelmon {

// Two ranges have the same kind only when their alternatives are the same:
// Float and Double are different kinds, and so are Integer and Decimal. The
// order of the alternatives is also the order in which the readers are tried.
struct ValueRange {
  struct Integer {
    IntInterval interval;
    bool operator==(const Integer&) const = default;
  };
  struct Float {
    FloatInterval interval;
    bool operator==(const Float&) const = default;
  };
  struct Double {
    FloatInterval interval;
    bool operator==(const Double&) const = default;
  };
  struct Decimal {
    DecimalInterval interval;
    bool operator==(const Decimal&) const = default;
  };
  struct Date {
    DateInterval interval;
    bool operator==(const Date&) const = default;
  };
  struct DateTime {
    DateTimeInterval interval;
    bool operator==(const DateTime&) const = default;
  };
  // Absent: every string; present: exactly these strings.
  struct Strings {
    std::optional<StringSet> set;
    bool operator==(const Strings&) const = default;
  };
  using Kind = std::variant<Integer, Float, Double, Decimal, Date, DateTime, Strings>;

  Kind kind;
  bool operator==(const ValueRange&) const = default;
};

// The result of computing a data range that may be empty or not computable here.
struct RangeOutcome {
  struct Range {
    ValueRange range;
    bool operator==(const Range&) const = default;
  };
  struct Empty {
    bool operator==(const Empty&) const = default;
  };
  struct Unhandled {
    bool operator==(const Unhandled&) const = default;
  };
  std::variant<Range, Empty, Unhandled> outcome;
  bool operator==(const RangeOutcome&) const = default;
};

// Intersection of ranges of one kind; Unhandled for an empty list or mixed kinds.
RangeOutcome intersect_value_ranges(std::vector<ValueRange> ranges);

}  // namespace kelmon
