// Asserted literals as comparable data values, so that two lexical forms of one
// value ("5"^^xsd:integer and "5.0"^^xsd:decimal) compare equal.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <variant>

#include "core/data/date_time_value.h"
#include "core/data/decimal_value.h"
#include "owl/model.h"

namespace kelmon {

// The variants are ordered as listed; within a variant by value. Float and
// Double hold finite binary64 numbers with zero stored as +0.
struct AssertedValue {
  struct Decimal {
    DecimalValue value;
    std::strong_ordering operator<=>(const Decimal& o) const { return cmp_decimal(value, o.value); }
    bool operator==(const Decimal& o) const { return value == o.value; }
  };
  struct Float {
    double value = 0;
    std::strong_ordering operator<=>(const Float& o) const;
    bool operator==(const Float& o) const { return value == o.value; }
  };
  struct Double {
    double value = 0;
    std::strong_ordering operator<=>(const Double& o) const;
    bool operator==(const Double& o) const { return value == o.value; }
  };
  struct Date {
    DateValue value;
    auto operator<=>(const Date&) const = default;
  };
  struct DateTime {
    DateTimeValue value;
    auto operator<=>(const DateTime&) const = default;
  };
  struct Text {
    std::string value;
    auto operator<=>(const Text&) const = default;
  };
  using Kind = std::variant<Decimal, Float, Double, Date, DateTime, Text>;

  Kind kind;
  std::strong_ordering operator<=>(const AssertedValue& o) const { return kind <=> o.kind; }
  bool operator==(const AssertedValue& o) const { return kind == o.kind; }
};

// The value a told check compares. It never holds a Float: the literal checks
// leave xsd:float literals unread.
using LiteralValue = AssertedValue;

// Simple and xsd:string literals as text; xsd:integer and xsd:decimal through
// the decimal reader; xsd:float, xsd:double, xsd:date and xsd:dateTime by their
// own readers. Any other literal, or a lexical form its reader refuses: none.
std::optional<AssertedValue> asserted_value_of(const owl::Literal& literal);
// The same without xsd:float.
std::optional<LiteralValue> literal_value_of(const owl::Literal& literal);

}  // namespace kelmon
