// xsd:date and xsd:dateTime values without time zone or fraction of a second.
// No calendar check: 2021-02-31 is a value. Ordered field by field.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmon {

struct DateValue {
  std::int64_t year = 0;  // zero and negative years are values
  std::uint8_t month = 1;
  std::uint8_t day = 1;

  auto operator<=>(const DateValue&) const = default;
};

struct DateTimeValue {
  std::int64_t year = 0;
  std::uint8_t month = 1;
  std::uint8_t day = 1;
  std::uint8_t hour = 0;
  std::uint8_t minute = 0;
  std::uint8_t second = 0;

  auto operator<=>(const DateTimeValue&) const = default;
};

// year "-" month "-" day; a time zone or anything else gives none.
std::optional<DateValue> parse_xsd_date(std::string_view text);
// date "T" hh ":" mm ":" ss; fractions of a second and time zones give none.
std::optional<DateTimeValue> parse_xsd_date_time(std::string_view text);

}  // namespace kelmon
