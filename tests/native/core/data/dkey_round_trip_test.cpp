// Every key kind: encoding a value, decoding the text and encoding again gives
// the same text, and exactly one decoder accepts it.
#include <gtest/gtest.h>

#include <limits>

#include "core/data/dkey_decode.h"
#include "core/data/dkey_encode.h"
#include "core/data/test_values.h"
#include "core/data/xsd_float.h"

namespace kelmon {
namespace {

using test::dec;
using test::dec_interval;
using test::double_interval;
using test::open;
using I64 = std::numeric_limits<std::int64_t>;

struct Reencoded {
  int acceptors = 0;
  std::string text;
};

// Runs every decoder on the key and re-encodes what each accepts.
Reencoded decode_and_reencode(std::string_view key) {
  Reencoded out;
  auto take = [&out](std::string text) {
    ++out.acceptors;
    out.text = std::move(text);
  };
  if (auto v = decode_int_intervals_key(key)) take(encode_int_intervals_key(*v));
  if (auto v = decode_str_key(key)) take(encode_str_key(v->set));
  if (auto v = decode_lang_key(key)) take(encode_lang_key(v->set));
  if (auto v = decode_float_range_key(key, float_range_kind)) take(encode_bounded_range_key(float_range_kind, *v));
  if (auto v = decode_float_range_key(key, double_range_kind)) take(encode_bounded_range_key(double_range_kind, *v));
  if (auto v = decode_decimal_range_key(key)) take(encode_decimal_range_key(*v));
  if (auto v = decode_date_range_key(key)) take(encode_date_range_key(*v));
  if (auto v = decode_date_time_range_key(key)) take(encode_date_time_range_key(*v));
  if (auto v = decode_int_set_key(key)) take(encode_int_set_key(*v));
  if (auto v = decode_float_set_key(key)) take(encode_float_set_key(float_set_kind, *v));
  if (auto v = decode_double_set_key(key)) take(encode_float_set_key(double_set_kind, *v));
  if (auto v = decode_decimal_set_key(key)) take(encode_decimal_set_key(*v));
  if (auto v = decode_date_set_key(key)) take(encode_date_set_key(*v));
  if (auto v = decode_date_time_set_key(key)) take(encode_date_time_set_key(*v));
  return out;
}

class KeyRoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(KeyRoundTrip, decodes_once_and_encodes_to_the_same_text) {
  const auto got = decode_and_reencode(GetParam());
  EXPECT_EQ(got.acceptors, 1) << GetParam();
  EXPECT_EQ(got.text, GetParam());
}

FloatInterval widened_float_interval(const char* lower, const char* upper) {
  FloatInterval out;
  out.lower = float_bits(*parse_xsd_float(lower));
  out.upper = float_bits(*parse_xsd_float(upper));
  out.lower_inclusive = false;
  out.upper_inclusive = true;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, KeyRoundTrip,
    ::testing::Values(
        encode_int_interval_key({open, open}), encode_int_interval_key({5, 5}), encode_int_interval_key({9, 1}),
        encode_int_interval_key({I64::min(), I64::max()}), encode_int_interval_key({open, -1}),
        encode_int_intervals_key(std::vector<IntInterval>{{open, I64::min()}, {0, 0}, {I64::max(), open}}),
        encode_int_intervals_key(std::vector<IntInterval>{{1, 3}, {7, open}}),
        encode_bounded_range_key(float_range_kind, FloatInterval{}),
        encode_bounded_range_key(float_range_kind, widened_float_interval("-1e-45", "3.4028235e38")),
        encode_bounded_range_key(double_range_kind, double_interval(-0.0, true, 0.0, false)),
        encode_bounded_range_key(double_range_kind, double_interval(0x1p-1074, false, {}, true)),
        encode_bounded_range_key(double_range_kind, double_interval({}, false, -0x1.fffffffffffffp+1023, true)),
        encode_decimal_range_key(dec_interval(nullptr, false, nullptr, false)),
        encode_decimal_range_key(dec_interval("-123456789012345678901234567890.000000000000000000001", true, "0", false)),
        encode_decimal_range_key(dec_interval("0.5", false, "12", true)),
        encode_date_range_key({DateValue{I64::min(), 1, 1}, DateValue{I64::max(), 12, 31}, true, false}),
        encode_date_range_key({DateValue{0, 2, 31}, std::nullopt, false, false}),
        encode_date_time_range_key({DateTimeValue{-44, 3, 15, 12, 0, 0}, DateTimeValue{2020, 1, 5, 23, 59, 59}, true,
                                    true}),
        encode_str_key(std::nullopt), encode_str_key(StringSet{""}), encode_str_key(StringSet{"", "a"}),
        encode_str_key(StringSet{"a:b", "a;b", "\xc3\xa9t\xc3\xa9", "\xf0\x9f\x98\x80"}),
        encode_lang_key(std::nullopt), encode_lang_key(LangStringSet{{"", ""}}),
        encode_lang_key(LangStringSet{{"chat", "fr"}, {"chat", "fr-ca"}, {"dog", "en"}}),
        encode_int_set_key(IntValueSet{I64::min(), -1, 0, 3, I64::max()}),
        encode_float_set_key(float_set_kind, FloatValueSet{-3.5, 0.0, double(*parse_xsd_float("0.1"))}),
        encode_float_set_key(double_set_kind, FloatValueSet{-2.0, 0x1p-1074, 1.0, 0x1.fffffffffffffp+1023}),
        encode_decimal_set_key(DecimalValueSet{dec("-1.5"), dec("0"), dec("0.001"), dec("100")}),
        encode_date_set_key(DateValueSet{{-1, 12, 31}, {0, 1, 1}, {2020, 2, 29}}),
        encode_date_time_set_key(DateTimeValueSet{{2020, 1, 1, 0, 0, 0}, {2020, 1, 1, 0, 0, 1}})));

TEST(KeyRoundTrip, values_come_back_equal) {
  const auto doubles = double_interval(-0.0, true, 0x1p-1074, false);
  // Range keys keep the written bit patterns, so negative zero survives.
  EXPECT_EQ(decode_float_range_key(encode_bounded_range_key(double_range_kind, doubles), double_range_kind), doubles);
  const auto decimals = dec_interval("-0.000000000000000000000000000001", false, "99999999999999999999999999", true);
  EXPECT_EQ(decode_decimal_range_key(encode_decimal_range_key(decimals)), decimals);
  const LangStringSet pairs{{"a.b", "x"}, {"a:b", ""}};
  EXPECT_EQ(decode_lang_key(encode_lang_key(pairs)), LangStrings{pairs});
  const StringSet strings{"", "\x01\x7f", "*"};
  EXPECT_EQ(decode_str_key(encode_str_key(strings)), ValueRange::Strings{strings});
  const DateTimeValueSet times{{I64::min(), 12, 31, 23, 59, 59}};
  EXPECT_EQ(decode_date_time_set_key(encode_date_time_set_key(times)), times);
}

// Texts that are not canonical still decode to the value their canonical text names.
TEST(KeyRoundTrip, non_canonical_texts_decode_to_canonical_values) {
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:iset:4:6;1:3").text, "urn:kelmon-dkey:1:6");
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:+05:007").text, "urn:kelmon-dkey:5:7");
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:str:4A").text, "urn:kelmon-dkey:str:4a");
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:deo:1.50;+1.5").text, "urn:kelmon-dkey:deo:1.5");
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:dec:-0.0:i:*:e").text, "urn:kelmon-dkey:dec:0:i:*:e");
  EXPECT_EQ(decode_and_reencode("urn:kelmon-dkey:dao:2020.01.05").text, "urn:kelmon-dkey:dao:2020.1.5");
}

}  // namespace
}  // namespace kelmon
