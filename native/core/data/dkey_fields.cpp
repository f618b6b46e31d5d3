#include "core/data/dkey_fields.h"

#include <array>
#include <limits>

#include "core/data/internal/split.h"
#include "core/data/internal/utf8.h"
#include "core/data/xsd_integer.h"

namespace kelmon {
namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "*" is unbounded; otherwise the reader's value or invalid.
template <class T, class Reader>
KeyBound<T> read_bound(std::string_view text, Reader reader) {
  if (text == "*") return std::optional<T>{};
  auto value = reader(text);
  if (!value) return std::unexpected(InvalidKeyField{});
  return std::optional<T>{std::move(*value)};
}

// The year, then N - 1 unsigned 8-bit fields, separated by ".".
template <std::size_t N>
std::optional<std::pair<std::int64_t, std::array<std::uint8_t, N - 1>>> read_dotted(std::string_view text) {
  const auto fields = split_exact<N>(text, '.');
  if (!fields) return std::nullopt;
  const auto year = parse_xsd_integer((*fields)[0]);
  if (!year) return std::nullopt;
  std::array<std::uint8_t, N - 1> rest{};
  for (std::size_t i = 1; i < N; ++i) {
    const auto v = parse_plus_unsigned((*fields)[i], std::numeric_limits<std::uint8_t>::max());
    if (!v) return std::nullopt;
    rest[i - 1] = static_cast<std::uint8_t>(*v);
  }
  return std::pair{*year, rest};
}

}  // namespace

std::optional<std::string> hex_decode_utf8(std::string_view text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::string out;
  out.reserve(text.size() / 2);
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int hi = hex_value(text[i]);
    const int lo = hex_value(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out += static_cast<char>(hi * 16 + lo);
  }
  if (!is_valid_utf8(out)) return std::nullopt;
  return out;
}

KeyBound<std::int64_t> parse_key_bound_i64(std::string_view text) {
  return read_bound<std::int64_t>(text, parse_xsd_integer);
}

KeyBound<std::uint64_t> parse_key_bound_u64(std::string_view text) {
  return read_bound<std::uint64_t>(
      text, [](std::string_view t) { return parse_plus_unsigned(t, std::numeric_limits<std::uint64_t>::max()); });
}

KeyBound<DecimalValue> parse_key_bound_decimal(std::string_view text) {
  return read_bound<DecimalValue>(text, parse_xsd_decimal);
}

KeyBound<DateValue> parse_key_bound_date(std::string_view text) {
  return read_bound<DateValue>(text, parse_key_date);
}

KeyBound<DateTimeValue> parse_key_bound_date_time(std::string_view text) {
  return read_bound<DateTimeValue>(text, parse_key_date_time);
}

std::optional<DateValue> parse_key_date(std::string_view text) {
  const auto fields = read_dotted<3>(text);
  if (!fields) return std::nullopt;
  const auto& [year, rest] = *fields;
  return DateValue{year, rest[0], rest[1]};
}

std::optional<DateTimeValue> parse_key_date_time(std::string_view text) {
  const auto fields = read_dotted<6>(text);
  if (!fields) return std::nullopt;
  const auto& [year, rest] = *fields;
  return DateTimeValue{year, rest[0], rest[1], rest[2], rest[3], rest[4]};
}

}  // namespace kelmon
