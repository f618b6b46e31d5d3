#include <gtest/gtest.h>

#include <cmath>

#include "core/data/owl_ranges.h"
#include "core/data_axioms/asserted_value.h"

namespace kelmon {
namespace {

using namespace test;  // NOLINT: builders only
using V = AssertedValue;

AssertedValue decimal(const char* text) { return V{V::Decimal{*parse_xsd_decimal(text)}}; }

struct ValueCase {
  const char* name;
  owl::Literal literal;
  std::optional<AssertedValue> expected;

  friend void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.name; }
};

class AssertedValueOf : public ::testing::TestWithParam<ValueCase> {};

TEST_P(AssertedValueOf, reads_the_literal_exactly) { EXPECT_EQ(asserted_value_of(GetParam().literal), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(
    Literals, AssertedValueOf,
    ::testing::Values(
        ValueCase{"plain", plain("x"), V{V::Text{"x"}}},
        ValueCase{"xsd_string", typed("x", "string"), V{V::Text{"x"}}},
        ValueCase{"language_tagged", tagged("x", "en"), std::nullopt},
        ValueCase{"integer", typed("05", "integer"), decimal("5")},
        ValueCase{"integer_with_fraction_reads_as_decimal", typed("1.5", "integer"), decimal("1.5")},
        ValueCase{"decimal", typed("5.0", "decimal"), decimal("5")},
        ValueCase{"bad_decimal", typed("abc", "decimal"), std::nullopt},
        ValueCase{"int_is_not_read", typed("1", "int"), std::nullopt},
        ValueCase{"boolean_is_not_read", typed("true", "boolean"), std::nullopt},
        ValueCase{"float_widened", typed("0.1", "float"), V{V::Float{static_cast<double>(0.1f)}}},
        ValueCase{"double", typed("0.1", "double"), V{V::Double{0.1}}},
        ValueCase{"double_overflow", typed("1e400", "double"), std::nullopt},
        ValueCase{"double_inf_word", typed("INF", "double"), std::nullopt},
        ValueCase{"date", typed("2020-01-05", "date"), V{V::Date{{2020, 1, 5}}}},
        ValueCase{"date_with_zone", typed("2020-01-05Z", "date"), std::nullopt},
        ValueCase{"date_time", typed("2020-01-05T01:02:03", "dateTime"), V{V::DateTime{{2020, 1, 5, 1, 2, 3}}}},
        ValueCase{"date_time_24h", typed("2020-01-05T24:00:00", "dateTime"), std::nullopt},
        ValueCase{"rdf_lang_string", owl::Literal::typed("x", owl::Datatype{owl::Iri(
                                                                  "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString")}),
                  std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AssertedValueOf, stores_zero_without_its_sign) {
  const auto negative = asserted_value_of(typed("-0", "double"));
  ASSERT_TRUE(negative);
  EXPECT_EQ(*negative, asserted_value_of(typed("0", "double")));
  EXPECT_FALSE(std::signbit(std::get<V::Double>(negative->kind).value));
  const auto negative_float = asserted_value_of(typed("-0.0", "float"));
  ASSERT_TRUE(negative_float);
  EXPECT_FALSE(std::signbit(std::get<V::Float>(negative_float->kind).value));
}

TEST(AssertedValueOrder, separates_variants_and_orders_within_them) {
  const auto one_float = *asserted_value_of(typed("1", "float"));
  const auto one_double = *asserted_value_of(typed("1", "double"));
  const auto one_decimal = *asserted_value_of(typed("1.0", "decimal"));
  EXPECT_NE(one_float, one_double);
  EXPECT_EQ(one_decimal, *asserted_value_of(typed("1", "integer")));
  EXPECT_LT(one_decimal, one_float);  // variant order: Decimal, Float, Double, Date, DateTime, Text
  EXPECT_LT(one_float, one_double);
  EXPECT_LT(one_double, *asserted_value_of(typed("2000-01-01", "date")));
  EXPECT_LT(*asserted_value_of(typed("2000-01-01T00:00:00", "dateTime")), *asserted_value_of(plain("")));
  EXPECT_LT(decimal("-2"), decimal("1"));
  EXPECT_LT(*asserted_value_of(typed("-1", "double")), one_double);
  EXPECT_LT(*asserted_value_of(plain("B")), *asserted_value_of(plain("a")));  // bytewise
}

TEST(LiteralValueOf, leaves_float_literals_unread) {
  EXPECT_EQ(literal_value_of(typed("1", "float")), std::nullopt);
  EXPECT_EQ(literal_value_of(typed("1", "double")), (V{V::Double{1.0}}));
  EXPECT_EQ(literal_value_of(tagged("c", "en")), std::nullopt);
  EXPECT_EQ(literal_value_of(plain("c")), literal_value_of(typed("c", "string")));
}

}  // namespace
}  // namespace kelmon
