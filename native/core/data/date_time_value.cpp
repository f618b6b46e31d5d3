#include "core/data/date_time_value.h"

#include <algorithm>
#include <limits>

#include "core/data/internal/split.h"
#include "core/data/xsd_integer.h"

namespace kelmon {
namespace {

constexpr std::uint64_t u8_max = std::numeric_limits<std::uint8_t>::max();

}  // namespace

std::optional<DateValue> parse_xsd_date(std::string_view text) {
  bool negate = false;
  if (!text.empty() && text.front() == '-') {
    negate = true;
    text.remove_prefix(1);
  }
  const auto pieces = split_exact<3>(text, '-');
  if (!pieces) return std::nullopt;
  const auto year = parse_xsd_integer((*pieces)[0]);
  const auto month = parse_plus_unsigned((*pieces)[1], u8_max);
  const auto day = parse_plus_unsigned((*pieces)[2], u8_max);
  if (!year || !month || !day) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31) return std::nullopt;
  // The year piece cannot carry a "-" (it would split), so negating cannot overflow.
  return DateValue{negate ? -*year : *year, static_cast<std::uint8_t>(*month), static_cast<std::uint8_t>(*day)};
}

std::optional<DateTimeValue> parse_xsd_date_time(std::string_view text) {
  const auto t = text.find('T');
  if (t == std::string_view::npos) return std::nullopt;
  const auto date = parse_xsd_date(text.substr(0, t));
  if (!date) return std::nullopt;
  const std::string_view time = text.substr(t + 1);
  if (!std::all_of(time.begin(), time.end(), [](char c) { return (c >= '0' && c <= '9') || c == ':'; }))
    return std::nullopt;
  const auto pieces = split_exact<3>(time, ':');
  if (!pieces) return std::nullopt;
  const auto hour = parse_unsigned_digits((*pieces)[0], u8_max);
  const auto minute = parse_unsigned_digits((*pieces)[1], u8_max);
  const auto second = parse_unsigned_digits((*pieces)[2], u8_max);
  if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  return DateTimeValue{date->year, date->month, date->day, static_cast<std::uint8_t>(*hour),
                       static_cast<std::uint8_t>(*minute), static_cast<std::uint8_t>(*second)};
}

}  // namespace kelmon
