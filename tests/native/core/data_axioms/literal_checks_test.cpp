#include <gtest/gtest.h>

#include "core/data_axioms/data_assertion_check.h"
#include "core/data_axioms/literal_checks.h"
#include "core/data_axioms/told_fixture.h"

namespace kelmon {
namespace {

using testing::kClash;
using testing::kNothing;
using AxiomCheck = void (*)(const owl::AxiomSet&, ConceptId, ConceptId, std::vector<Axiom>&);

std::vector<std::string> run(AxiomCheck check, const std::string& body) {
  const auto loaded = testing::read_body(body);
  testing::ToldIr forward({});
  std::vector<Axiom> out;
  check(loaded.axioms, forward.top, forward.bottom, out);
  std::vector<Axiom> back;
  check(testing::reversed(loaded.axioms), forward.top, forward.bottom, back);
  EXPECT_EQ(out, back) << "result depends on the iteration order";
  return testing::rendered(forward.ir, out);
}

struct CheckCase {
  const char* name;
  AxiomCheck check;
  std::string body;
  std::vector<std::string> expected;

  friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class LiteralChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(LiteralChecks, find_exactly_the_told_contradictions) {
  EXPECT_EQ(run(GetParam().check, GetParam().body), GetParam().expected);
}

std::string ranged(const std::string& range, const std::string& literals) {
  std::string body = "DataPropertyRange(:p " + range + ")\n";
  std::size_t start = 0;
  while (start < literals.size()) {
    const auto end = literals.find('|', start);
    const auto literal = literals.substr(start, end == std::string::npos ? std::string::npos : end - start);
    body += "DataPropertyAssertion(:p :a " + literal + ")\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return body;
}

const std::string kNonNegative = R"(DatatypeRestriction(xsd:integer xsd:minInclusive "0"^^xsd:integer))";
const std::string kPositiveDouble = R"(DatatypeRestriction(xsd:double xsd:minExclusive "0.0"^^xsd:double))";
const std::string kDecimalZeroToTen =
    R"(DatatypeRestriction(xsd:decimal xsd:minInclusive "0"^^xsd:decimal xsd:maxInclusive "10"^^xsd:decimal))";
const std::string kFunctional = "FunctionalDataProperty(:p)\n";
const std::string kAtMostOneInteger = R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:integer)) ClassAssertion(:A :a))";

INSTANTIATE_TEST_SUITE_P(
    Ranges, LiteralChecks,
    ::testing::Values(
        CheckCase{"integer_below_bound", check_asserted_literal_ranges, ranged(kNonNegative, R"("-1"^^xsd:integer)"),
                  kClash},
        CheckCase{"integer_within_bound", check_asserted_literal_ranges, ranged(kNonNegative, R"("7"^^xsd:integer)"),
                  kNothing},
        CheckCase{"int_literal_not_tested", check_asserted_literal_ranges, ranged(kNonNegative, R"("-1"^^xsd:int)"),
                  kNothing},
        CheckCase{"unreadable_integer_not_tested", check_asserted_literal_ranges,
                  ranged(kNonNegative, R"("abc"^^xsd:integer)"), kNothing},
        CheckCase{"integer_beyond_64_bits_not_tested", check_asserted_literal_ranges,
                  ranged(kNonNegative, R"("-99999999999999999999"^^xsd:integer)"), kNothing},
        CheckCase{"double_range_holds_every_double", check_asserted_literal_ranges,
                  ranged("xsd:double", R"("-1e300"^^xsd:double|"1e400"^^xsd:double)"), kNothing},
        CheckCase{"double_zero_violates_exclusive_zero", check_asserted_literal_ranges,
                  ranged(kPositiveDouble, R"("0"^^xsd:double)"), kClash},
        CheckCase{"double_negative_zero_violates_exclusive_zero", check_asserted_literal_ranges,
                  ranged(kPositiveDouble, R"("-0"^^xsd:double)"), kClash},
        CheckCase{"double_positive_fits", check_asserted_literal_ranges,
                  ranged(kPositiveDouble, R"("1e-300"^^xsd:double)"), kNothing},
        CheckCase{"decimal_above_range", check_asserted_literal_ranges,
                  ranged(kDecimalZeroToTen, R"("10.5"^^xsd:decimal)"), kClash},
        CheckCase{"integer_literal_not_tested_against_decimal_range", check_asserted_literal_ranges,
                  ranged(kDecimalZeroToTen, R"("11"^^xsd:integer)"), kNothing},
        CheckCase{"date_before_range", check_asserted_literal_ranges,
                  ranged(R"(DatatypeRestriction(xsd:date xsd:minInclusive "2020-01-01"^^xsd:date))",
                         R"("2019-12-31"^^xsd:date)"),
                  kClash},
        CheckCase{"date_time_after_range", check_asserted_literal_ranges,
                  ranged(R"(DatatypeRestriction(xsd:dateTime xsd:maxExclusive "2020-01-01T00:00:00"^^xsd:dateTime))",
                         R"("2020-01-01T00:00:00"^^xsd:dateTime)"),
                  kClash},
        CheckCase{"simple_string_outside_enumeration", check_asserted_literal_ranges,
                  ranged(R"(DataOneOf("a" "b"))", R"("c")"), kClash},
        CheckCase{"xsd_string_outside_enumeration", check_asserted_literal_ranges,
                  ranged(R"(DataOneOf("a" "b"))", R"("c"^^xsd:string)"), kClash},
        CheckCase{"language_tagged_not_tested_against_enumeration", check_asserted_literal_ranges,
                  ranged(R"(DataOneOf("a" "b"))", R"("c"@en)"), kNothing},
        CheckCase{"sub_property_tested_against_super_range", check_asserted_literal_ranges,
                  "SubDataPropertyOf(:q :p) DataPropertyRange(:p " + kNonNegative +
                      R"() DataPropertyAssertion(:q _:b "-3"^^xsd:integer))",
                  kClash},
        CheckCase{"many_violations_one_axiom", check_asserted_literal_ranges,
                  ranged(kNonNegative, R"("-1"^^xsd:integer|"-2"^^xsd:integer|"-3"^^xsd:integer)"), kClash}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Functional, LiteralChecks,
    ::testing::Values(
        CheckCase{"functional_one_value_two_forms", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                   DataPropertyAssertion(:p :a "1.0"^^xsd:decimal))",
                  kNothing},
        CheckCase{"functional_two_values", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                   DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kClash},
        CheckCase{"functional_integer_and_double_are_two_values", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                   DataPropertyAssertion(:p :a "1"^^xsd:double))",
                  kClash},
        CheckCase{"functional_float_literal_is_not_read", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                   DataPropertyAssertion(:p :a "1"^^xsd:float))",
                  kNothing},
        CheckCase{"functional_anonymous_individual", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p _:b "1"^^xsd:integer)
                                   DataPropertyAssertion(:p _:b "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"functional_sub_property_value_counts", check_functional_values,
                  kFunctional + R"(SubDataPropertyOf(:q :p) DataPropertyAssertion(:p :a "x")
                                   DataPropertyAssertion(:q :a "y"))",
                  kClash},
        CheckCase{"functional_values_of_two_individuals", check_functional_values,
                  kFunctional + R"(DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :b "y"))", kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    AtMost, LiteralChecks,
    ::testing::Values(
        CheckCase{"at_most_two_integers", derive_data_assertion_axioms,
                  kAtMostOneInteger + R"( DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                          DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kClash},
        CheckCase{"at_most_one_integer_two_forms", derive_data_assertion_axioms,
                  kAtMostOneInteger + R"( DataPropertyAssertion(:p :a "1"^^xsd:integer)
                                          DataPropertyAssertion(:p :a "01"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_told_subclass_member", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:integer)) SubClassOf(:B :A) ClassAssertion(:B :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kClash},
        CheckCase{"at_most_equivalent_member_not_followed", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:integer)) EquivalentClasses(:A :B) ClassAssertion(:B :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_sub_property_values_count", derive_data_assertion_axioms,
                  kAtMostOneInteger + R"( SubDataPropertyOf(:q :p) SubDataPropertyOf(:r :p)
                     DataPropertyAssertion(:q :a "1"^^xsd:integer) DataPropertyAssertion(:r :a "2"^^xsd:integer))",
                  kClash},
        CheckCase{"at_most_super_property_value_does_not_count", derive_data_assertion_axioms,
                  kAtMostOneInteger + R"( SubDataPropertyOf(:p :r)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:r :a "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_decimals_outside_integer_range", derive_data_assertion_axioms,
                  kAtMostOneInteger + R"( DataPropertyAssertion(:p :a "1.5"^^xsd:decimal)
                                          DataPropertyAssertion(:p :a "2.5"^^xsd:decimal))",
                  kNothing},
        CheckCase{"at_most_decimals_inside_decimal_range", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:decimal)) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "1.5"^^xsd:decimal) DataPropertyAssertion(:p :a "2.5"^^xsd:decimal))",
                  kClash},
        CheckCase{"at_most_literal_range_is_not_read", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p rdfs:Literal)) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_zero_strings", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(0 :p xsd:string)) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "x"))",
                  kClash},
        CheckCase{"exact_two_with_one_value", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataExactCardinality(2 :p xsd:integer)) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer))",
                  kNothing},
        CheckCase{"exact_two_with_three_values", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataExactCardinality(2 :p xsd:integer)) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer)
                     DataPropertyAssertion(:p :a "3"^^xsd:integer))",
                  kClash},
        CheckCase{"at_most_inside_intersection_not_tested", derive_data_assertion_axioms,
                  R"(SubClassOf(:A ObjectIntersectionOf(:C DataMaxCardinality(1 :p xsd:integer))) ClassAssertion(:A :a)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_anonymous_individual", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:integer)) ClassAssertion(:A _:b)
                     DataPropertyAssertion(:p _:b "1"^^xsd:integer) DataPropertyAssertion(:p _:b "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_untyped_individual", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p xsd:integer)) ClassAssertion(:A :b)
                     DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                  kNothing},
        CheckCase{"at_most_double_facet_range", derive_data_assertion_axioms,
                  R"(SubClassOf(:A DataMaxCardinality(1 :p DatatypeRestriction(xsd:double xsd:maxInclusive "1.0"^^xsd:double)))
                     ClassAssertion(:A :a) DataPropertyAssertion(:p :a "0.5"^^xsd:double)
                     DataPropertyAssertion(:p :a "1.0"^^xsd:double) DataPropertyAssertion(:p :a "2.0"^^xsd:double))",
                  kClash}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon
