#include "core/data/date_time_value.h"

#include <gtest/gtest.h>

#include <limits>

namespace kelmon {
namespace {

struct DateCase {
  const char* text;
  std::optional<DateValue> value;
};

class DateParse : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateParse, reads_or_refuses) { EXPECT_EQ(parse_xsd_date(GetParam().text), GetParam().value) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(
    Table, DateParse,
    ::testing::Values(DateCase{"2021-02-31", DateValue{2021, 2, 31}}, DateCase{"2020-1-5", DateValue{2020, 1, 5}},
                      DateCase{"2020-001-05", DateValue{2020, 1, 5}}, DateCase{"+2020-01-01", DateValue{2020, 1, 1}},
                      DateCase{"-0044-03-15", DateValue{-44, 3, 15}}, DateCase{"-0-01-01", DateValue{0, 1, 1}},
                      DateCase{"0000-12-31", DateValue{0, 12, 31}}, DateCase{"2020-+1-+05", DateValue{2020, 1, 5}},
                      DateCase{"9223372036854775807-01-01", DateValue{std::numeric_limits<std::int64_t>::max(), 1, 1}},
                      DateCase{"-9223372036854775807-01-01",
                               DateValue{std::numeric_limits<std::int64_t>::min() + 1, 1, 1}},
                      DateCase{"9223372036854775808-01-01", std::nullopt}, DateCase{"--5-01-01", std::nullopt},
                      DateCase{"2021-13-01", std::nullopt}, DateCase{"2021-00-10", std::nullopt},
                      DateCase{"2021-01-32", std::nullopt}, DateCase{"2021-01-00", std::nullopt},
                      DateCase{"2021-01-01Z", std::nullopt}, DateCase{"2021-01-01-05:00", std::nullopt},
                      DateCase{"2021-01-01+05:00", std::nullopt}, DateCase{"2021-01", std::nullopt},
                      DateCase{"2021-01-0257", std::nullopt}, DateCase{"2021-01-", std::nullopt},
                      DateCase{"", std::nullopt}, DateCase{" 2021-01-01", std::nullopt}));

struct DateTimeCase {
  const char* text;
  std::optional<DateTimeValue> value;
};

class DateTimeParse : public ::testing::TestWithParam<DateTimeCase> {};

TEST_P(DateTimeParse, reads_or_refuses) {
  EXPECT_EQ(parse_xsd_date_time(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateTimeParse,
    ::testing::Values(DateTimeCase{"2020-01-01T7:5:9", DateTimeValue{2020, 1, 1, 7, 5, 9}},
                      DateTimeCase{"2021-02-31T23:59:59", DateTimeValue{2021, 2, 31, 23, 59, 59}},
                      DateTimeCase{"-0044-03-15T00:00:00", DateTimeValue{-44, 3, 15, 0, 0, 0}},
                      DateTimeCase{"2020-01-01T24:00:00", std::nullopt},
                      DateTimeCase{"2020-01-01T12:60:00", std::nullopt},
                      DateTimeCase{"2020-01-01T12:00:60", std::nullopt},
                      DateTimeCase{"2021-01-01T12:00:00.5", std::nullopt},
                      DateTimeCase{"2021-01-01T12:00:00Z", std::nullopt},
                      DateTimeCase{"2021-01-01T12:00:00+01:00", std::nullopt},
                      DateTimeCase{"2021-01-01T12:00", std::nullopt},
                      DateTimeCase{"2021-01-01T12:00:00:00", std::nullopt},
                      DateTimeCase{"2021-01-01T12::00", std::nullopt},
                      DateTimeCase{"2021-01-01 12:00:00", std::nullopt},
                      DateTimeCase{"2021-13-01T12:00:00", std::nullopt}, DateTimeCase{"2021-01-01T", std::nullopt}));

TEST(DateValue, orders_chronologically_with_signed_years) {
  EXPECT_LT((DateValue{-1, 12, 31}), (DateValue{0, 1, 1}));
  EXPECT_LT((DateValue{2020, 1, 31}), (DateValue{2020, 2, 1}));
  EXPECT_LT((DateTimeValue{2020, 1, 1, 23, 59, 59}), (DateTimeValue{2020, 1, 2, 0, 0, 0}));
  EXPECT_LT((DateTimeValue{2020, 1, 1, 0, 0, 1}), (DateTimeValue{2020, 1, 1, 0, 1, 0}));
}

}  // namespace
}  // namespace kelmon
