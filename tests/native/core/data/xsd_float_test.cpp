#include "core/data/xsd_float.h"

#include <gtest/gtest.h>

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <limits>
#include <string>
#include <type_traits>

namespace kelmon {
namespace {

struct FloatCase {
  std::string text;
  std::optional<float> value;  // compared bit for bit
  friend void PrintTo(const FloatCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class FloatLexicalRule : public ::testing::TestWithParam<FloatCase> {};

TEST_P(FloatLexicalRule, rounds_once_to_binary32) {
  const auto got = parse_xsd_float(GetParam().text);
  ASSERT_EQ(got.has_value(), GetParam().value.has_value()) << "text: '" << GetParam().text << "'";
  if (got) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(*got), std::bit_cast<std::uint32_t>(*GetParam().value))
        << GetParam().text << " gave " << std::hexfloat << *got;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, FloatLexicalRule,
    ::testing::Values(
        FloatCase{"1E3", 1000.0f}, FloatCase{"-.5", -0.5f}, FloatCase{"+7.", 7.0f}, FloatCase{"5.", 5.0f},
        FloatCase{".5", 0.5f}, FloatCase{"0.1", 0x1.99999ap-4f}, FloatCase{"1e+2", 100.0f}, FloatCase{"25E-1", 2.5f},
        // Just above the midpoint between 1 and its successor: going through
        // binary64 first lands on the midpoint and then rounds down to 1.
        FloatCase{"1.000000059604644775390625000000001", 0x1.000002p+0f},
        // Just below the midpoint between 1+2^-23 and 1+2^-22: through binary64 it rounds up.
        FloatCase{"1.000000178813934326171874999999999", 0x1.000002p+0f},
        // Exact midpoints go to the even neighbour.
        FloatCase{"1.000000059604644775390625", 1.0f}, FloatCase{"1.000000178813934326171875", 0x1.000004p+0f},
        // Subnormals and underflow: just above half the smallest subnormal rounds up
        // (through binary64 it would be exactly half and round to zero).
        FloatCase{"7.0064923216240854e-46", 0x1p-149f}, FloatCase{"1.401298464324817e-45", 0x1p-149f},
        FloatCase{"7.00649232162408535461864791644958065640130970938257885878534141944895541342930300743319094181060791015625e-46",
                  0.0f},
        FloatCase{"1e-46", 0.0f}, FloatCase{"-1e-50", -0.0f}, FloatCase{"1.1754942e-38", 0x1.fffffcp-127f},
        FloatCase{"1e-99999999999999999999999999", 0.0f},
        // Overflow gives none; the largest finite value and values just below the threshold are kept.
        FloatCase{"3.4028235e38", 0x1.fffffep+127f}, FloatCase{"3.40282356e38", 0x1.fffffep+127f},
        FloatCase{"340282356779733661637539395458142568448", std::nullopt},
        FloatCase{"3.40282357e38", std::nullopt}, FloatCase{"1e39", std::nullopt},
        FloatCase{"-1e39", std::nullopt}, FloatCase{"1e99999999999999999999", std::nullopt},
        // A zero significand never overflows, whatever its exponent.
        FloatCase{"0e99999999999999999999999", 0.0f}, FloatCase{"-0", -0.0f}, FloatCase{"-0.000e7", -0.0f},
        FloatCase{"0.00000000000000000000000000000000000000000000000000001e53", 1.0f},
        FloatCase{"100000000000000000000000000000000000000000000000000e-50", 1.0f},
        FloatCase{"16777217", 16777216.0f}, FloatCase{"16777219", 16777220.0f},
        // Refused texts.
        FloatCase{"", std::nullopt}, FloatCase{".", std::nullopt}, FloatCase{"-.", std::nullopt},
        FloatCase{"e5", std::nullopt}, FloatCase{".e5", std::nullopt}, FloatCase{"1e", std::nullopt},
        FloatCase{"1e+", std::nullopt}, FloatCase{"1e5.5", std::nullopt}, FloatCase{"1.2.3", std::nullopt},
        FloatCase{"INF", std::nullopt}, FloatCase{"-INF", std::nullopt}, FloatCase{"inf", std::nullopt},
        FloatCase{"+Infinity", std::nullopt}, FloatCase{"NaN", std::nullopt}, FloatCase{"nan", std::nullopt},
        FloatCase{" 1", std::nullopt}, FloatCase{"1 ", std::nullopt}, FloatCase{"0x1p3", std::nullopt},
        FloatCase{"1,5", std::nullopt}, FloatCase{"+-1", std::nullopt}, FloatCase{"1f", std::nullopt}));

struct DoubleCase {
  std::string text;
  std::optional<double> value;
  friend void PrintTo(const DoubleCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class DoubleLexicalRule : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(DoubleLexicalRule, rounds_once_to_binary64) {
  const auto got = parse_xsd_double(GetParam().text);
  ASSERT_EQ(got.has_value(), GetParam().value.has_value()) << "text: '" << GetParam().text << "'";
  if (got) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*got), std::bit_cast<std::uint64_t>(*GetParam().value))
        << GetParam().text << " gave " << std::hexfloat << *got;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DoubleLexicalRule,
    ::testing::Values(DoubleCase{"0.1", 0.1}, DoubleCase{"1.5", 1.5}, DoubleCase{"-0.0", -0.0},
                      DoubleCase{"9007199254740993", 9007199254740992.0},
                      DoubleCase{"9007199254740993.0000000000000001", 9007199254740994.0},
                      DoubleCase{"2.2250738585072011e-308", 0x0.fffffffffffffp-1022},
                      DoubleCase{"2.2250738585072012e-308", 0x1p-1022},
                      DoubleCase{"4.9406564584124654e-324", 0x1p-1074}, DoubleCase{"3e-324", 0x1p-1074},
                      DoubleCase{"2e-324", 0.0}, DoubleCase{"1.7976931348623157e308", 0x1.fffffffffffffp+1023},
                      DoubleCase{"1.8e308", std::nullopt}, DoubleCase{"1e400", std::nullopt},
                      DoubleCase{"1e39", 1e39}, DoubleCase{"INF", std::nullopt}, DoubleCase{"NaN", std::nullopt}));

TEST(FloatLexicalRule, long_significands_round_exactly) {
  // 1 + 2^-24 written out, followed by 1000 zeros and a final 1: just above the midpoint.
  std::string text = "1.000000059604644775390625" + std::string(1000, '0') + "1";
  EXPECT_EQ(parse_xsd_float(text), 0x1.000002p+0f);
  text = "1.000000059604644775390625" + std::string(1000, '0');
  EXPECT_EQ(parse_xsd_float(text), 1.0f);
  EXPECT_EQ(parse_xsd_double(std::string(400, '9') + "e-400"), 1.0);
}

// glibc's strtof and strtod round correctly to their own format; across many
// generated texts, the results must agree bit for bit (overflow aside, which
// they report as infinity and we refuse).
template <class T>
void compare_with_libc(std::uint64_t seed, int max_digits, int min_exponent, int max_exponent) {
  std::uint64_t state = seed;
  auto next = [&state] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return state >> 33;
  };
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    if (next() % 2) text += '-';
    const int digits = 1 + static_cast<int>(next() % max_digits);
    const int point = static_cast<int>(next() % (digits + 1));
    for (int i = 0; i < digits; ++i) {
      if (i == point) text += '.';
      text += static_cast<char>('0' + next() % 10);
    }
    const int exponent = min_exponent + static_cast<int>(next() % (max_exponent - min_exponent + 1));
    text += 'e' + std::to_string(exponent);
    errno = 0;
    const T expected = std::is_same_v<T, float> ? static_cast<T>(std::strtof(text.c_str(), nullptr))
                                                : static_cast<T>(std::strtod(text.c_str(), nullptr));
    std::optional<T> got;
    if constexpr (std::is_same_v<T, float>) got = parse_xsd_float(text);
    else got = parse_xsd_double(text);
    if (std::isinf(expected)) {
      EXPECT_FALSE(got.has_value()) << text;
    } else {
      ASSERT_TRUE(got.has_value()) << text;
      using Bits = std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint64_t>;
      EXPECT_EQ(std::bit_cast<Bits>(*got), std::bit_cast<Bits>(expected)) << text;
    }
  }
}

TEST(FloatLexicalRule, agrees_with_correctly_rounding_libc_on_generated_texts) {
  compare_with_libc<float>(1, 40, -90, 60);
  compare_with_libc<double>(2, 40, -370, 330);
  // Short texts with small exponents, where one IEEE operation suffices.
  compare_with_libc<float>(3, 9, -14, 14);
  compare_with_libc<double>(4, 17, -26, 26);
}

}  // namespace
}  // namespace kelmon
