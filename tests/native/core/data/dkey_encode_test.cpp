#include "core/data/dkey_encode.h"

#include <gtest/gtest.h>

#include <limits>

#include "common/invariant.h"
#include "core/data/test_values.h"
#include "core/data/xsd_float.h"

namespace kelmon {
namespace {

using test::dec;
using test::dec_interval;
using test::double_interval;
using test::open;

struct EncodeCase {
  const char* name;
  std::string key;
  std::string expected;
};

class KeyText : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(KeyText, is_exactly) { EXPECT_EQ(GetParam().key, GetParam().expected); }

FloatInterval float_point(float v) {
  const double wide = v;
  return double_interval(wide, true, wide, true);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeyText,
    ::testing::Values(
        EncodeCase{"integer_unbounded", encode_int_interval_key({open, open}), "urn:kelmon-dkey:*:*"},
        EncodeCase{"integer_point", encode_int_interval_key({5, 5}), "urn:kelmon-dkey:5:5"},
        EncodeCase{"integer_negative", encode_int_interval_key({-5, 10}), "urn:kelmon-dkey:-5:10"},
        EncodeCase{"integer_limits",
                   encode_int_interval_key({std::numeric_limits<std::int64_t>::min(),
                                            std::numeric_limits<std::int64_t>::max()}),
                   "urn:kelmon-dkey:-9223372036854775808:9223372036854775807"},
        EncodeCase{"iset_one_is_bare", encode_int_intervals_key(std::vector<IntInterval>{{1, 9}}),
                   "urn:kelmon-dkey:1:9"},
        EncodeCase{"iset", encode_int_intervals_key(std::vector<IntInterval>{{1, 3}, {7, open}}),
                   "urn:kelmon-dkey:iset:1:3;7:*"},
        EncodeCase{"double_point", encode_bounded_range_key(double_range_kind, double_interval(1.5, true, 1.5, true)),
                   "urn:kelmon-dkey:db:4609434218613702656:i:4609434218613702656:i"},
        EncodeCase{"float_point_widened", encode_bounded_range_key(float_range_kind, float_point(1.5f)),
                   "urn:kelmon-dkey:f:4609434218613702656:i:4609434218613702656:i"},
        // 0.1 as xsd:float is the binary32 value, widened: not the binary64 nearest to 0.1.
        EncodeCase{"float_tenth", encode_bounded_range_key(float_range_kind, float_point(*parse_xsd_float("0.1"))),
                   "urn:kelmon-dkey:f:4591870180174331904:i:4591870180174331904:i"},
        EncodeCase{"double_all", encode_bounded_range_key(double_range_kind, FloatInterval{}),
                   "urn:kelmon-dkey:db:*:e:*:e"},
        EncodeCase{"float_all", encode_bounded_range_key(float_range_kind, FloatInterval{}),
                   "urn:kelmon-dkey:f:*:e:*:e"},
        EncodeCase{"unbounded_side_keeps_flag",
                   encode_bounded_range_key(double_range_kind, double_interval({}, true, -0.0, true)),
                   "urn:kelmon-dkey:db:*:i:9223372036854775808:i"},
        EncodeCase{"decimal_at_least", encode_decimal_range_key(dec_interval("1.50", true, nullptr, false)),
                   "urn:kelmon-dkey:dec:1.5:i:*:e"},
        EncodeCase{"decimal_negative_and_zero", encode_decimal_range_key(dec_interval("-3.250", false, "-0.0", true)),
                   "urn:kelmon-dkey:dec:-3.25:e:0:i"},
        EncodeCase{"date_point",
                   encode_date_range_key({DateValue{2020, 1, 5}, DateValue{2020, 1, 5}, true, true}),
                   "urn:kelmon-dkey:date:2020.1.5:i:2020.1.5:i"},
        EncodeCase{"date_negative_year", encode_date_range_key({DateValue{-44, 3, 15}, std::nullopt, false, false}),
                   "urn:kelmon-dkey:date:-44.3.15:e:*:e"},
        EncodeCase{"date_time", encode_date_time_range_key({std::nullopt, DateTimeValue{2020, 1, 5, 0, 30, 0}, false, true}),
                   "urn:kelmon-dkey:dt:*:e:2020.1.5.0.30.0:i"},
        EncodeCase{"str_all", encode_str_key(std::nullopt), "urn:kelmon-dkey:str:*"},
        EncodeCase{"str_abc", encode_str_key(StringSet{"abc"}), "urn:kelmon-dkey:str:616263"},
        EncodeCase{"str_empty_and_a", encode_str_key(StringSet{"", "a"}), "urn:kelmon-dkey:str::61"},
        EncodeCase{"str_empty_alone", encode_str_key(StringSet{""}), "urn:kelmon-dkey:str:"},
        EncodeCase{"str_utf8", encode_str_key(StringSet{"\xc3\xa9"}), "urn:kelmon-dkey:str:c3a9"},
        EncodeCase{"lang_all", encode_lang_key(std::nullopt), "urn:kelmon-dkey:lang:*"},
        EncodeCase{"lang_pair", encode_lang_key(LangStringSet{{"chat", "fr"}}),
                   "urn:kelmon-dkey:lang:63686174.6672"},
        EncodeCase{"int_set", encode_int_set_key(IntValueSet{-1, 3}), "urn:kelmon-dkey:io:-1;3"},
        // Items follow the numbers, not the bit patterns.
        EncodeCase{"double_set", encode_float_set_key(double_set_kind, FloatValueSet{-2.0, 1.0}),
                   "urn:kelmon-dkey:dbo:13835058055282163712;4607182418800017408"},
        EncodeCase{"float_set", encode_float_set_key(float_set_kind, FloatValueSet{1.5}),
                   "urn:kelmon-dkey:fo:4609434218613702656"},
        EncodeCase{"decimal_set", encode_decimal_set_key(DecimalValueSet{dec("-0.5"), dec("0"), dec("12")}),
                   "urn:kelmon-dkey:deo:-0.5;0;12"},
        EncodeCase{"date_set", encode_date_set_key(DateValueSet{{2020, 1, 5}, {2021, 12, 31}}),
                   "urn:kelmon-dkey:dao:2020.1.5;2021.12.31"},
        EncodeCase{"date_time_set", encode_date_time_set_key(DateTimeValueSet{{2020, 1, 5, 23, 0, 9}}),
                   "urn:kelmon-dkey:dto:2020.1.5.23.0.9"},
        EncodeCase{"value_range_integer", encode_value_range_key({ValueRange::Integer{{3, open}}}),
                   "urn:kelmon-dkey:3:*"},
        EncodeCase{"value_range_float", encode_value_range_key({ValueRange::Float{}}), "urn:kelmon-dkey:f:*:e:*:e"},
        EncodeCase{"value_range_double", encode_value_range_key({ValueRange::Double{}}),
                   "urn:kelmon-dkey:db:*:e:*:e"},
        EncodeCase{"value_range_decimal",
                   encode_value_range_key({ValueRange::Decimal{dec_interval("0", false, "1", false)}}),
                   "urn:kelmon-dkey:dec:0:e:1:e"},
        EncodeCase{"value_range_date",
                   encode_value_range_key({ValueRange::Date{{DateValue{2020, 1, 5}, std::nullopt, true, false}}}),
                   "urn:kelmon-dkey:date:2020.1.5:i:*:e"},
        EncodeCase{"value_range_date_time", encode_value_range_key({ValueRange::DateTime{}}),
                   "urn:kelmon-dkey:dt:*:e:*:e"},
        EncodeCase{"value_range_strings", encode_value_range_key({ValueRange::Strings{StringSet{"a", "b"}}}),
                   "urn:kelmon-dkey:str:61:62"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IntIntervalsKey, empty_list_is_an_invariant_failure) {
  EXPECT_THROW(encode_int_intervals_key(std::vector<IntInterval>{}), InvariantFailure);
}

TEST(HexEncode, writes_two_lowercase_digits_per_byte) {
  EXPECT_EQ(hex_encode(std::string_view("\x00\xff\x0a", 3)), "00ff0a");
  EXPECT_EQ(hex_encode(""), "");
}

}  // namespace
}  // namespace kelmon
