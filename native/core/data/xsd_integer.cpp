#include "core/data/xsd_integer.h"

#include <limits>

namespace kelmon {

std::optional<std::uint64_t> parse_unsigned_digits(std::string_view text, std::uint64_t max) {
  if (text.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (digit > max) return std::nullopt;
    // Checked before multiplying so that no intermediate value wraps.
    if (value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<std::uint64_t> parse_plus_unsigned(std::string_view text, std::uint64_t max) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  return parse_unsigned_digits(text, max);
}

std::optional<std::int64_t> parse_xsd_integer(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // The magnitude of the most negative value is one more than the largest positive one.
  constexpr auto max_positive = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  const auto magnitude = parse_unsigned_digits(text, negative ? max_positive + 1 : max_positive);
  if (!magnitude) return std::nullopt;
  if (!negative) return static_cast<std::int64_t>(*magnitude);
  if (*magnitude == max_positive + 1) return std::numeric_limits<std::int64_t>::min();
  return -static_cast<std::int64_t>(*magnitude);
}

}  // namespace kelmon
