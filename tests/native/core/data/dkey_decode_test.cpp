#include "core/data/dkey_decode.h"

#include <gtest/gtest.h>

#include <limits>

#include "core/data/dkey_encode.h"
#include "core/data/dkey_fields.h"
#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::dec;
using test::dec_interval;
using test::double_interval;
using test::open;
using IV = std::vector<IntInterval>;

TEST(IntIntervalsKey, reads_bare_and_iset_keys) {
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:*:*"), (IV{{open, open}}));
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:5:5"), (IV{{5, 5}}));
  // Bare keys are read as written, even when empty.
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:9:1"), (IV{{9, 1}}));
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:iset:1:3;7:*"), (IV{{1, 3}, {7, open}}));
  // Adjacent intervals merge; the list is normalised.
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:iset:1:3;4:6"), (IV{{1, 6}}));
  EXPECT_EQ(decode_int_intervals_key("urn:kelmon-dkey:iset:7:*;+1:003"), (IV{{1, 3}, {7, open}}));
  // Fewer than two items, an empty union or a bad item: not a key.
  for (const char* bad : {"urn:kelmon-dkey:iset:1:2", "urn:kelmon-dkey:iset:", "urn:kelmon-dkey:iset:5:1;9:2",
                          "urn:kelmon-dkey:iset:1:2;3", "urn:kelmon-dkey:iset:1:2;", "urn:kelmon-dkey:iset:1:x;4:5",
                          "urn:kelmon-dkey:5", "urn:kelmon-dkey:5:", "urn:kelmon-dkey::5", "urn:kelmon-dkey:5:6:7",
                          "urn:kelmon-dkey:9223372036854775808:*", "urn:kelmon-dkey:iset", "urn:kelmon-dkey:",
                          "urn:kelmon-dke:1:2", "urn:kelmon-dkey:str:61", "urn:kelmon-dkey:io:1"})
    EXPECT_EQ(decode_int_intervals_key(bad), std::nullopt) << bad;
}

TEST(StrKey, reads_hex_items) {
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str:*"), ValueRange::Strings{std::nullopt});
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str:616263"), ValueRange::Strings{StringSet{"abc"}});
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str::61"), (ValueRange::Strings{StringSet{"", "a"}}));
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str:"), ValueRange::Strings{StringSet{""}});
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str:4A"), ValueRange::Strings{StringSet{"J"}});
  // Out-of-order and repeated items still give the ordered set.
  EXPECT_EQ(decode_str_key("urn:kelmon-dkey:str:62:61:62"), (ValueRange::Strings{StringSet{"a", "b"}}));
  for (const char* bad : {"urn:kelmon-dkey:str:616", "urn:kelmon-dkey:str:*:61", "urn:kelmon-dkey:str:6g",
                          "urn:kelmon-dkey:str:ff", "urn:kelmon-dkey:str:c0af", "urn:kelmon-dkey:str:eda080",
                          "urn:kelmon-dkey:str", "urn:kelmon-dkey:strx:61"})
    EXPECT_EQ(decode_str_key(bad), std::nullopt) << bad;
}

TEST(LangKey, reads_pairs) {
  EXPECT_EQ(decode_lang_key("urn:kelmon-dkey:lang:*"), LangStrings{std::nullopt});
  EXPECT_EQ(decode_lang_key("urn:kelmon-dkey:lang:63686174.6672"), (LangStrings{LangStringSet{{"chat", "fr"}}}));
  EXPECT_EQ(decode_lang_key("urn:kelmon-dkey:lang:.656e"), (LangStrings{LangStringSet{{"", "en"}}}));
  for (const char* bad : {"urn:kelmon-dkey:lang:", "urn:kelmon-dkey:lang:6368", "urn:kelmon-dkey:lang:63.66.72",
                          "urn:kelmon-dkey:lang:63.6672:", "urn:kelmon-dkey:lang:*:63.66"})
    EXPECT_EQ(decode_lang_key(bad), std::nullopt) << bad;
}

TEST(IntervalKeys, read_bounds_and_flags) {
  EXPECT_EQ(decode_float_range_key("urn:kelmon-dkey:f:*:e:*:e", float_range_kind), FloatInterval{});
  EXPECT_EQ(decode_float_range_key("urn:kelmon-dkey:db:4609434218613702656:i:+0:e", double_range_kind),
            double_interval(1.5, true, 0.0, false));
  // Patterns are kept exactly as written, whatever they encode.
  EXPECT_EQ(decode_float_range_key("urn:kelmon-dkey:db:9218868437227405312:i:*:e", double_range_kind),
            (FloatInterval{9218868437227405312ULL, std::nullopt, true, false}));
  EXPECT_EQ(decode_decimal_range_key("urn:kelmon-dkey:dec:1.5:i:*:e"), dec_interval("1.5", true, nullptr, false));
  EXPECT_EQ(decode_date_range_key("urn:kelmon-dkey:date:2020.13.40:i:*:e"),
            (DateInterval{DateValue{2020, 13, 40}, std::nullopt, true, false}));
  EXPECT_EQ(decode_date_time_range_key("urn:kelmon-dkey:dt:-1.1.1.0.0.0:e:*:i"),
            (DateTimeInterval{DateTimeValue{-1, 1, 1, 0, 0, 0}, std::nullopt, false, true}));
  for (const char* bad : {"urn:kelmon-dkey:dec:1:i:2:i:x", "urn:kelmon-dkey:dec:1:i:2", "urn:kelmon-dkey:dec:1:x:2:i",
                          "urn:kelmon-dkey:dec:1e2:i:*:e", "urn:kelmon-dkey:dec::i:*:e", "urn:kelmon-dkey:dec:1:i:2:"})
    EXPECT_EQ(decode_decimal_range_key(bad), std::nullopt) << bad;
  for (const char* bad : {"urn:kelmon-dkey:f:*:e:*", "urn:kelmon-dkey:f:*:I:*:e", "urn:kelmon-dkey:f:-1:i:*:e",
                          "urn:kelmon-dkey:f:18446744073709551616:i:*:e", "urn:kelmon-dkey:f:1.5:i:*:e",
                          "urn:kelmon-dkey:db:*:e:*:e"})
    EXPECT_EQ(decode_float_range_key(bad, float_range_kind), std::nullopt) << bad;
  EXPECT_EQ(decode_float_range_key("urn:kelmon-dkey:f:*:e:*:e", double_range_kind), std::nullopt);
  for (const char* bad : {"urn:kelmon-dkey:date:2020.1:i:*:e", "urn:kelmon-dkey:date:2020.1.5.:i:*:e",
                          "urn:kelmon-dkey:date:2020.1.256:i:*:e", "urn:kelmon-dkey:date:2020-1-5:i:*:e"})
    EXPECT_EQ(decode_date_range_key(bad), std::nullopt) << bad;
  EXPECT_EQ(decode_date_time_range_key("urn:kelmon-dkey:dt:2020.1.5.0.0:i:*:e"), std::nullopt);
}

TEST(OneOfKeys, read_items_as_ordered_sets) {
  EXPECT_EQ(decode_int_set_key("urn:kelmon-dkey:io:-1;3"), (IntValueSet{-1, 3}));
  EXPECT_EQ(decode_int_set_key("urn:kelmon-dkey:io:+5;5"), (IntValueSet{5}));
  EXPECT_EQ(decode_int_set_key("urn:kelmon-dkey:io:3;-1;3"), (IntValueSet{-1, 3}));
  for (const char* bad : {"urn:kelmon-dkey:io:", "urn:kelmon-dkey:io:1;", "urn:kelmon-dkey:io:-",
                          "urn:kelmon-dkey:io:9223372036854775808", "urn:kelmon-dkey:io:1.0"})
    EXPECT_EQ(decode_int_set_key(bad), std::nullopt) << bad;

  // Negative zero is stored as +0 (and merges with it); items are numerically ordered.
  const auto zeros = decode_float_set_key("urn:kelmon-dkey:fo:9223372036854775808;0;4607182418800017408");
  ASSERT_TRUE(zeros);
  ASSERT_EQ(zeros->size(), 2u);
  EXPECT_EQ(float_bits((*zeros)[0]), 0u);
  EXPECT_EQ((*zeros)[1], 1.0);
  EXPECT_EQ(decode_double_set_key("urn:kelmon-dkey:dbo:4607182418800017408;13835058055282163712"),
            (FloatValueSet{-2.0, 1.0}));
  for (const char* bad : {"urn:kelmon-dkey:fo:9218868437227405312", "urn:kelmon-dkey:fo:18442240474082181120",
                          "urn:kelmon-dkey:dbo:9221120237041090560", "urn:kelmon-dkey:fo:", "urn:kelmon-dkey:fo:-1",
                          "urn:kelmon-dkey:dbo:1;"})
    EXPECT_FALSE(decode_float_set_key(bad) || decode_double_set_key(bad)) << bad;

  EXPECT_EQ(decode_decimal_set_key("urn:kelmon-dkey:deo:1.50;1.5;-0;0.25"),
            (DecimalValueSet{dec("0"), dec("0.25"), dec("1.5")}));
  EXPECT_EQ(decode_decimal_set_key("urn:kelmon-dkey:deo:1;x"), std::nullopt);
  EXPECT_EQ(decode_date_set_key("urn:kelmon-dkey:dao:2021.1.1;2020.12.31"),
            (DateValueSet{{2020, 12, 31}, {2021, 1, 1}}));
  EXPECT_EQ(decode_date_set_key("urn:kelmon-dkey:dao:2021.1.1;"), std::nullopt);
  EXPECT_EQ(decode_date_time_set_key("urn:kelmon-dkey:dto:2020.1.5.23.0.9"),
            (DateTimeValueSet{{2020, 1, 5, 23, 0, 9}}));
  EXPECT_EQ(decode_date_time_set_key("urn:kelmon-dkey:dto:2020.1.5.23.0"), std::nullopt);
}

TEST(KeyFields, bounds_have_three_answers) {
  EXPECT_EQ(parse_key_bound_i64("*"), KeyBound<std::int64_t>(std::optional<std::int64_t>{}));
  EXPECT_EQ(parse_key_bound_i64("-7"), KeyBound<std::int64_t>(std::optional<std::int64_t>{-7}));
  EXPECT_FALSE(parse_key_bound_i64("").has_value());
  EXPECT_FALSE(parse_key_bound_i64("**").has_value());
  EXPECT_EQ(parse_key_bound_u64("+18446744073709551615"),
            KeyBound<std::uint64_t>(std::optional<std::uint64_t>{std::numeric_limits<std::uint64_t>::max()}));
  EXPECT_FALSE(parse_key_bound_u64("-0").has_value());
  EXPECT_EQ(parse_key_bound_decimal("-0.50"), KeyBound<DecimalValue>(std::optional<DecimalValue>{dec("-0.5")}));
  EXPECT_FALSE(parse_key_bound_decimal(".").has_value());
  EXPECT_EQ(parse_key_bound_date("*"), KeyBound<DateValue>(std::optional<DateValue>{}));
  EXPECT_EQ(parse_key_date("-44.3.15"), (DateValue{-44, 3, 15}));
  EXPECT_EQ(parse_key_date("2020.0.0"), (DateValue{2020, 0, 0}));
  EXPECT_EQ(parse_key_date("2020..5"), std::nullopt);
  EXPECT_EQ(parse_key_date_time("1.2.3.4.5.6"), (DateTimeValue{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(parse_key_date_time("1.2.3.4.5.6.7"), std::nullopt);
  EXPECT_EQ(hex_decode_utf8(""), std::string());
  EXPECT_EQ(hex_decode_utf8("f09f9880"), std::string("\xf0\x9f\x98\x80"));
  EXPECT_EQ(hex_decode_utf8("f4908080"), std::nullopt);  // above U+10FFFF
  EXPECT_EQ(hex_decode_utf8("e282"), std::nullopt);      // truncated sequence
}

}  // namespace
}  // namespace kelmon
