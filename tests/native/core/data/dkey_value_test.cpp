#include "core/data/dkey_value.h"

#include <gtest/gtest.h>

#include "core/data/test_values.h"

namespace kelmon {
namespace {

using test::dec;
using test::dec_interval;
using test::double_interval;
using test::open;

struct ValueCase {
  const char* name;
  const char* key;
  std::optional<DKeyValue> value;
};

class DecodeDKeyValue : public ::testing::TestWithParam<ValueCase> {};

TEST_P(DecodeDKeyValue, gives_the_kernel_value) { EXPECT_EQ(decode_dkey_value(GetParam().key), GetParam().value); }

DKeyValue v(DKeyValue::Kind kind) { return DKeyValue{std::move(kind)}; }

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeDKeyValue,
    ::testing::Values(
        ValueCase{"int_range", "urn:kelmon-dkey:*:10", v(DKeyValue::IntRange{{open, 10}})},
        ValueCase{"int_range_as_written", "urn:kelmon-dkey:9:1", v(DKeyValue::IntRange{{9, 1}})},
        ValueCase{"strings_all", "urn:kelmon-dkey:str:*", v(DKeyValue::Strings{std::nullopt})},
        ValueCase{"strings_set", "urn:kelmon-dkey:str:62:61", v(DKeyValue::Strings{StringSet{"a", "b"}})},
        ValueCase{"float_range", "urn:kelmon-dkey:f:4609434218613702656:i:*:e",
                  v(DKeyValue::FloatRange{double_interval(1.5, true, {}, false)})},
        // Zero bounds of either sign are read as +0, for f: and db: alike.
        ValueCase{"float_negative_zero", "urn:kelmon-dkey:f:9223372036854775808:i:9223372036854775808:i",
                  v(DKeyValue::FloatRange{double_interval(0.0, true, 0.0, true)})},
        ValueCase{"double_negative_zero", "urn:kelmon-dkey:db:*:e:9223372036854775808:e",
                  v(DKeyValue::FloatRange{double_interval({}, false, 0.0, false), true})},
        ValueCase{"decimal_range", "urn:kelmon-dkey:dec:1.5:i:*:e",
                  v(DKeyValue::DecimalRange{dec_interval("1.5", true, nullptr, false)})},
        ValueCase{"date_range", "urn:kelmon-dkey:date:2020.1.5:i:2020.1.5:i",
                  v(DKeyValue::DateRange{{DateValue{2020, 1, 5}, DateValue{2020, 1, 5}, true, true}})},
        ValueCase{"date_time_range", "urn:kelmon-dkey:dt:*:e:2020.1.5.0.30.0:i",
                  v(DKeyValue::DateTimeRange{{std::nullopt, DateTimeValue{2020, 1, 5, 0, 30, 0}, false, true}})},
        ValueCase{"int_set", "urn:kelmon-dkey:io:3;-1", v(DKeyValue::IntSet{{-1, 3}})},
        ValueCase{"float_set", "urn:kelmon-dkey:fo:9223372036854775808", v(DKeyValue::FloatSet{{0.0}})},
        ValueCase{"double_set", "urn:kelmon-dkey:dbo:4607182418800017408", v(DKeyValue::FloatSet{{1.0}, true})},
        ValueCase{"decimal_set", "urn:kelmon-dkey:deo:0.5;-2", v(DKeyValue::DecimalSet{{dec("-2"), dec("0.5")}})},
        ValueCase{"date_set", "urn:kelmon-dkey:dao:2020.1.5", v(DKeyValue::DateSet{{{2020, 1, 5}}})},
        ValueCase{"date_time_set", "urn:kelmon-dkey:dto:2020.1.5.1.2.3",
                  v(DKeyValue::DateTimeSet{{{2020, 1, 5, 1, 2, 3}}})},
        ValueCase{"lang_has_no_entry", "urn:kelmon-dkey:lang:*", std::nullopt},
        ValueCase{"iset_has_no_entry", "urn:kelmon-dkey:iset:1:3;7:*", std::nullopt},
        ValueCase{"malformed_has_no_entry", "urn:kelmon-dkey:f:*:e:*", std::nullopt},
        ValueCase{"prefix_only", "urn:kelmon-dkey:", std::nullopt},
        ValueCase{"short_name", "urn:kelmon-dkey", std::nullopt},
        ValueCase{"plain_class", "http://example.org/A", std::nullopt},
        ValueCase{"other_urn", "urn:kelmon-anon:5:5", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeDKeyValue, negative_zero_bound_compares_as_plain_zero_bits) {
  const auto value = decode_dkey_value("urn:kelmon-dkey:db:9223372036854775808:i:*:e");
  ASSERT_TRUE(value);
  const auto& range = std::get<DKeyValue::FloatRange>(value->kind);
  EXPECT_EQ(range.interval.lower, 0u);
}

}  // namespace
}  // namespace kelmon
