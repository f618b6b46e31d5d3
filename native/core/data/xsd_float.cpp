#include "core/data/xsd_float.h"

#include <gmpxx.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace kelmon {
namespace {

// A decimal number as sign, significand digits (no leading or trailing zeros;
// empty for zero) and a power-of-ten exponent.
struct DecimalScientific {
  bool negative = false;
  std::string digits;
  std::int64_t exponent = 0;
};

// Exponents are saturated here: any text long enough to need more would not
// fit in memory, and saturated values still fall clearly into the overflow or
// underflow branch below.
constexpr std::int64_t exponent_limit = 100'000'000'000'000'000;

std::optional<DecimalScientific> scan_float_text(std::string_view text) {
  DecimalScientific out;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    out.negative = text[i] == '-';
    ++i;
  }
  std::size_t digit_count = 0;
  std::int64_t fraction_length = 0;
  bool seen_point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digit_count;
      if (seen_point) ++fraction_length;
      // Leading zeros carry no value; after a point they still count towards the shift.
      if (c != '0' || !out.digits.empty()) out.digits.push_back(c);
    } else if (c == '.' && !seen_point) {
      seen_point = true;
    } else {
      break;
    }
  }
  if (digit_count == 0) return std::nullopt;
  std::int64_t exponent = 0;
  if (i < text.size()) {
    if (text[i] != 'e' && text[i] != 'E') return std::nullopt;
    ++i;
    bool exponent_negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      exponent_negative = text[i] == '-';
      ++i;
    }
    if (i == text.size()) return std::nullopt;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (c < '0' || c > '9') return std::nullopt;
      if (exponent < exponent_limit) exponent = exponent * 10 + (c - '0');
    }
    if (exponent_negative) exponent = -exponent;
  }
  // Digits kept after a point shift the value right; stripped trailing zeros shift it left.
  std::int64_t shift = exponent - fraction_length;
  std::size_t kept = out.digits.size();
  while (kept > 0 && out.digits[kept - 1] == '0') --kept;
  shift += static_cast<std::int64_t>(out.digits.size() - kept);
  out.digits.resize(kept);
  out.exponent = shift;
  return out;
}

// Parameters of one IEEE binary format, in terms of an integer significand q
// (p bits) times 2^k: k ranges from `min_k` (subnormals) to `max_k`.
struct BinaryFormat {
  int precision;
  long min_k;
  long max_k;
  // Decimal magnitudes (number of digits plus exponent) beyond which the value
  // overflows for sure, or lies below half the smallest subnormal.
  std::int64_t overflow_magnitude;
  std::int64_t underflow_magnitude;
};

constexpr BinaryFormat binary32{24, -149, 104, 40, -46};
constexpr BinaryFormat binary64{53, -1074, 971, 310, -324};

// q = floor(N / (D * 2^k)) and the remainder, with the divisor in `den`.
void divide_scaled(const mpz_class& num, const mpz_class& den, long k, mpz_class& q, mpz_class& r,
                   mpz_class& scaled_den) {
  mpz_class scaled_num = num;
  scaled_den = den;
  if (k >= 0) mpz_mul_2exp(scaled_den.get_mpz_t(), den.get_mpz_t(), static_cast<mp_bitcnt_t>(k));
  else mpz_mul_2exp(scaled_num.get_mpz_t(), num.get_mpz_t(), static_cast<mp_bitcnt_t>(-k));
  mpz_fdiv_qr(q.get_mpz_t(), r.get_mpz_t(), scaled_num.get_mpz_t(), scaled_den.get_mpz_t());
}

long bit_length(const mpz_class& x) { return static_cast<long>(mpz_sizeinbase(x.get_mpz_t(), 2)); }

// Short significands with small exponents: the significand and the power of
// ten are both exact in T, so one IEEE multiplication or division rounds the
// exact value once, correctly.
template <class T>
std::optional<T> exact_operand_quotient(const DecimalScientific& d) {
  constexpr bool single = sizeof(T) == sizeof(float);
  constexpr std::size_t max_digits = single ? 7 : 15;  // below 2^24 and 2^53
  constexpr std::int64_t max_power = single ? 10 : 22;  // 10^n exact in T
  if (d.digits.size() > max_digits || d.exponent > max_power || d.exponent < -max_power) return std::nullopt;
  std::uint64_t significand = 0;
  for (char c : d.digits) significand = significand * 10 + static_cast<std::uint64_t>(c - '0');
  T power = 1;
  for (std::int64_t i = 0; i < (d.exponent < 0 ? -d.exponent : d.exponent); ++i) power *= 10;
  const T m = static_cast<T>(significand);
  return d.exponent < 0 ? m / power : m * power;
}

// Rounds digits * 10^exponent (positive) to q * 2^k in the given format; none on overflow.
template <class T>
std::optional<T> round_to_binary(const DecimalScientific& d, const BinaryFormat& format) {
  if (d.digits.empty()) return d.negative ? -T(0) : T(0);
  const std::int64_t magnitude = static_cast<std::int64_t>(d.digits.size()) + d.exponent;
  if (magnitude > format.overflow_magnitude) return std::nullopt;
  if (magnitude <= format.underflow_magnitude) return d.negative ? -T(0) : T(0);

  if (auto fast = exact_operand_quotient<T>(d)) return d.negative ? -*fast : *fast;

  mpz_class num(d.digits, 10);
  mpz_class den = 1;
  mpz_class power;
  const auto abs_exponent = static_cast<unsigned long>(d.exponent < 0 ? -d.exponent : d.exponent);
  mpz_ui_pow_ui(power.get_mpz_t(), 10, abs_exponent);
  if (d.exponent >= 0) num *= power;
  else den = power;

  // num/den lies in [2^(bn-bd-1), 2^(bn-bd+1)), so at this k the quotient has p or p+1 bits.
  long k = bit_length(num) - bit_length(den) - format.precision;
  if (k < format.min_k) k = format.min_k;
  mpz_class q, r, scaled_den;
  divide_scaled(num, den, k, q, r, scaled_den);
  if (bit_length(q) > format.precision) {
    ++k;
    divide_scaled(num, den, k, q, r, scaled_den);
  }
  // Round to nearest, ties to even, using the exact remainder.
  const int half = cmp(r * 2, scaled_den);
  if (half > 0 || (half == 0 && mpz_odd_p(q.get_mpz_t()))) ++q;
  if (bit_length(q) > format.precision) {
    q >>= 1;
    ++k;
  }
  if (k > format.max_k) return std::nullopt;
  const T value = std::ldexp(static_cast<T>(q.get_ui()), static_cast<int>(k));
  return d.negative ? -value : value;
}

}  // namespace

std::optional<float> parse_xsd_float(std::string_view text) {
  const auto scanned = scan_float_text(text);
  if (!scanned) return std::nullopt;
  return round_to_binary<float>(*scanned, binary32);
}

std::optional<double> parse_xsd_double(std::string_view text) {
  const auto scanned = scan_float_text(text);
  if (!scanned) return std::nullopt;
  return round_to_binary<double>(*scanned, binary64);
}

}  // namespace kelmon
