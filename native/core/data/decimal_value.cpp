#include "core/data/decimal_value.h"

#include <algorithm>

#include "core/data/xsd_integer.h"

namespace kelmon {
namespace {

bool all_digits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::strong_ordering compare_bytes(std::string_view a, std::string_view b) {
  const int c = a.compare(b);
  return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
}

}  // namespace

std::optional<DecimalValue> parse_xsd_decimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  bool minus = false;
  if (text.front() == '-' || text.front() == '+') {
    if (text.size() == 1) return std::nullopt;
    minus = text.front() == '-';
    text.remove_prefix(1);
  }
  std::string_view int_part = text;
  std::string_view frac_part;
  if (const auto point = text.find('.'); point != std::string_view::npos) {
    int_part = text.substr(0, point);
    frac_part = text.substr(point + 1);
  }
  if (!all_digits(int_part) || !all_digits(frac_part)) return std::nullopt;
  if (int_part.empty() && frac_part.empty()) return std::nullopt;
  while (!int_part.empty() && int_part.front() == '0') int_part.remove_prefix(1);
  while (!frac_part.empty() && frac_part.back() == '0') frac_part.remove_suffix(1);
  DecimalValue out{std::string(int_part), std::string(frac_part), false};
  out.negative = minus && !(out.int_digits.empty() && out.frac_digits.empty());
  return out;
}

std::string pad_digits_right(std::string_view digits, std::size_t width) {
  std::string out(digits);
  if (width > out.size()) out.append(width - out.size(), '0');
  return out;
}

std::strong_ordering cmp_decimal_magnitude(const DecimalValue& a, const DecimalValue& b) {
  if (a.int_digits.size() != b.int_digits.size()) return a.int_digits.size() <=> b.int_digits.size();
  if (const auto c = compare_bytes(a.int_digits, b.int_digits); c != 0) return c;
  // Comparing the common prefix and then the lengths equals comparing zero-padded
  // fractions, without building the padded copies.
  const std::size_t common = std::min(a.frac_digits.size(), b.frac_digits.size());
  if (const auto c = compare_bytes(std::string_view(a.frac_digits).substr(0, common),
                                   std::string_view(b.frac_digits).substr(0, common));
      c != 0)
    return c;
  // The rest of the longer fraction is compared against padding zeros.
  const auto rest_is_zero = [common](const std::string& f) {
    return std::all_of(f.begin() + static_cast<std::ptrdiff_t>(common), f.end(), [](char c) { return c == '0'; });
  };
  if (a.frac_digits.size() > common && !rest_is_zero(a.frac_digits)) return std::strong_ordering::greater;
  if (b.frac_digits.size() > common && !rest_is_zero(b.frac_digits)) return std::strong_ordering::less;
  return std::strong_ordering::equal;
}

std::strong_ordering cmp_decimal(const DecimalValue& a, const DecimalValue& b) {
  if (!a.negative && !b.negative) return cmp_decimal_magnitude(a, b);
  if (!a.negative) return std::strong_ordering::greater;
  if (!b.negative) return std::strong_ordering::less;
  return cmp_decimal_magnitude(b, a);
}

std::optional<std::int64_t> decimal_to_i64(const DecimalValue& d) {
  if (!d.frac_digits.empty()) return std::nullopt;
  if (d.int_digits.empty()) return 0;
  return parse_xsd_integer(d.negative ? "-" + d.int_digits : d.int_digits);
}

std::string decimal_text(const DecimalValue& d) {
  std::string out;
  out.reserve(d.int_digits.size() + d.frac_digits.size() + 3);
  if (d.negative) out.push_back('-');
  out += d.int_digits.empty() ? std::string_view("0") : std::string_view(d.int_digits);
  if (!d.frac_digits.empty()) {
    out.push_back('.');
    out += d.frac_digits;
  }
  return out;
}

}  // namespace kelmon
