#include <gtest/gtest.h>

#include "core/data/owl_ranges.h"
#include "core/data/range_readers.h"
#include "core/data/test_values.h"

namespace kelmon {
namespace {

using namespace test;  // NOLINT: builders only

TEST(IntSetOf, reads_integer_literals_only) {
  EXPECT_EQ(int_set_of(one_of({typed("2", "integer"), typed("1", "integer"), typed("+02", "integer")})),
            (IntValueSet{1, 2}));
  // Integer subtypes denote integers; a literal outside its datatype's values is refused.
  EXPECT_EQ(int_set_of(one_of({typed("1", "int"), typed("1", "integer"), typed("-2", "byte")})),
            (IntValueSet{-2, 1}));
  EXPECT_EQ(int_set_of(one_of({typed("1", "integer"), typed("128", "byte")})), std::nullopt);
  EXPECT_EQ(int_set_of(one_of({typed("1", "decimal")})), std::nullopt);
  EXPECT_EQ(int_set_of(one_of({})), std::nullopt);
  EXPECT_EQ(int_set_of(one_of({plain("1")})), std::nullopt);
  EXPECT_EQ(int_set_of(one_of({typed("1", "integer"), typed("99999999999999999999", "integer")})), std::nullopt);
  EXPECT_EQ(int_set_of(xsd_range("integer")), std::nullopt);
}

TEST(FloatSetOf, widens_and_merges_zeros) {
  const auto floats = float_set_of(one_of({typed("0.1", "float"), typed("-0", "float"), typed("0", "float")}));
  ASSERT_TRUE(floats);
  ASSERT_EQ(floats->size(), 2u);
  EXPECT_EQ(float_bits((*floats)[0]), 0u);  // +0, not -0
  EXPECT_EQ((*floats)[1], 0.100000001490116119384765625);
  EXPECT_EQ(float_set_of(one_of({typed("1", "double")})), std::nullopt);
  EXPECT_EQ(float_set_of(one_of({typed("INF", "float")})), std::nullopt);
  EXPECT_EQ(double_set_of(one_of({typed("-0.0", "double"), typed("0.1", "double")})), (FloatValueSet{0.0, 0.1}));
  const auto zero = double_set_of(one_of({typed("-0.0", "double")}));
  ASSERT_TRUE(zero);
  EXPECT_EQ(float_bits(zero->front()), 0u);
  EXPECT_EQ(double_set_of(one_of({typed("1e400", "double")})), std::nullopt);
}

TEST(DecimalAndDateSets, collapse_equal_values) {
  EXPECT_EQ(decimal_set_of(one_of({typed("1.0", "decimal"), typed("1.00", "decimal"), typed("-2", "decimal")})),
            (DecimalValueSet{dec("-2"), dec("1")}));
  EXPECT_EQ(decimal_set_of(one_of({typed("1", "integer")})), std::nullopt);
  EXPECT_EQ(date_set_of(one_of({typed("2020-1-5", "date"), typed("2020-01-05", "date")})),
            (DateValueSet{{2020, 1, 5}}));
  EXPECT_EQ(date_set_of(one_of({typed("2020-01-05Z", "date")})), std::nullopt);
  EXPECT_EQ(date_time_set_of(one_of({typed("2020-01-05T01:02:03", "dateTime")})),
            (DateTimeValueSet{{2020, 1, 5, 1, 2, 3}}));
  EXPECT_EQ(date_time_set_of(one_of({typed("2020-01-05T01:02:03", "date")})), std::nullopt);
}

TEST(StringSetOf, takes_plain_and_xsd_string_literals) {
  EXPECT_EQ(string_set_of(xsd_range("string")), ValueRange::Strings{std::nullopt});
  EXPECT_EQ(string_set_of(one_of({plain("a"), typed("a", "string")})), ValueRange::Strings{StringSet{"a"}});
  EXPECT_EQ(string_set_of(one_of({plain("b"), plain(""), plain("a")})), (ValueRange::Strings{StringSet{"", "a", "b"}}));
  EXPECT_EQ(string_set_of(one_of({plain("a"), tagged("a", "en")})), std::nullopt);
  EXPECT_EQ(string_set_of(one_of({typed("a", "token")})), std::nullopt);
  EXPECT_EQ(string_set_of(xsd_range("token")), std::nullopt);
  EXPECT_EQ(string_set_of(one_of({})), std::nullopt);
}

TEST(LangStringSetOf, lowers_ascii_tags_only) {
  EXPECT_EQ(lang_literal_of(tagged("Chat", "EN-us")), (LangString{"Chat", "en-us"}));
  EXPECT_EQ(lang_literal_of(tagged("x", "\xc3\x89N")), (LangString{"x", "\xc3\x89n"}));
  EXPECT_EQ(lang_literal_of(plain("a")), std::nullopt);
  EXPECT_EQ(lang_literal_of(typed("a", "string")), std::nullopt);
  EXPECT_EQ(lang_string_set_of(owl::DataRange(datatype("http://www.w3.org/1999/02/22-rdf-syntax-ns#langString"))),
            LangStrings{std::nullopt});
  EXPECT_EQ(lang_string_set_of(one_of({tagged("chat", "FR"), tagged("chat", "fr"), tagged("a", "en")})),
            (LangStrings{LangStringSet{{"a", "en"}, {"chat", "fr"}}}));
  EXPECT_EQ(lang_string_set_of(one_of({tagged("chat", "fr"), plain("chat")})), std::nullopt);
}

}  // namespace
}  // namespace kelmon
