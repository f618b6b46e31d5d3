#include <gtest/gtest.h>

#include "core/data_axioms/index_clash_checks.h"
#include "core/data_axioms/told_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon {
namespace {

using testing::ScopedSwitch;

using testing::kClash;
using testing::kNothing;
using IndexCheck = void (*)(const DataAxiomIndex&, ConceptId, ConceptId, std::vector<Axiom>&);

std::vector<std::string> run(IndexCheck check, const std::string& body) {
  const auto loaded = testing::read_body(body);
  testing::ToldIr forward({});
  std::vector<Axiom> out;
  check(build_data_axiom_index(loaded.axioms), forward.top, forward.bottom, out);
  std::vector<Axiom> back;
  check(build_data_axiom_index(testing::reversed(loaded.axioms)), forward.top, forward.bottom, back);
  EXPECT_EQ(out, back) << "result depends on the iteration order";
  return testing::rendered(forward.ir, out);
}

struct CheckCase {
  const char* name;
  IndexCheck check;
  std::string body;
  std::vector<std::string> expected;

  friend void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }
};

class IndexClashChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(IndexClashChecks, find_exactly_the_told_contradictions) {
  EXPECT_EQ(run(GetParam().check, GetParam().body), GetParam().expected);
}

const std::string kMaxOneString = R"(
    SubClassOf(:C DataMaxCardinality(1 :p xsd:string))
    ClassAssertion(:C :a))";

INSTANTIATE_TEST_SUITE_P(
    Cases, IndexClashChecks,
    ::testing::Values(
        // Datatype families.
        CheckCase{"family_string_against_integer", check_range_families,
                  R"(DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:p :a "x"))", kClash},
        CheckCase{"family_decimal_against_integer_is_numeric", check_range_families,
                  R"(DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:p :a "5"^^xsd:decimal))", kNothing},
        CheckCase{"family_language_tag_against_string", check_range_families,
                  R"(DataPropertyRange(:p xsd:string) DataPropertyAssertion(:p :a "x"@en))", kClash},
        CheckCase{"family_super_range_reaches_sub_property", check_range_families,
                  R"(SubDataPropertyOf(:q :p) DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:q :a "x"))",
                  kClash},
        CheckCase{"family_sub_range_does_not_reach_super_property", check_range_families,
                  R"(SubDataPropertyOf(:q :p) DataPropertyRange(:q xsd:integer) DataPropertyAssertion(:p :a "x"))",
                  kNothing},
        CheckCase{"family_anonymous_subject_counts", check_range_families,
                  R"(DataPropertyRange(:p xsd:boolean) DataPropertyAssertion(:p _:b "1"^^xsd:integer))", kClash},
        CheckCase{"family_one_axiom_for_many_clashes", check_range_families,
                  R"(DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:p :a "x")
                     DataPropertyAssertion(:p :b "y") DataPropertyAssertion(:p :c "z"))",
                  kClash},
        // String enumerations.
        CheckCase{"strings_member", check_range_strings,
                  R"(DataPropertyRange(:p DataOneOf("a" "b")) DataPropertyAssertion(:p :a "a"))", kNothing},
        CheckCase{"strings_outsider", check_range_strings,
                  R"(DataPropertyRange(:p DataOneOf("a" "b")) DataPropertyAssertion(:p :a "c"))", kClash},
        CheckCase{"strings_typed_integer_not_tested", check_range_strings,
                  R"(DataPropertyRange(:p DataOneOf("a" "b")) DataPropertyAssertion(:p :a "c"^^xsd:integer))",
                  kNothing},
        CheckCase{"strings_super_property_range", check_range_strings,
                  R"(SubDataPropertyOf(:q :p) DataPropertyRange(:p DataOneOf("a")) DataPropertyAssertion(:q :a "b"))",
                  kClash},
        // Strings against at-most restrictions of told types.
        CheckCase{"max_strings_two_strings", check_max_string_cardinalities,
                  kMaxOneString + R"( DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :a "y"))", kClash},
        CheckCase{"max_strings_plain_and_xsd_string_are_one", check_max_string_cardinalities,
                  kMaxOneString + R"( DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :a "x"^^xsd:string))",
                  kNothing},
        CheckCase{"max_strings_told_subclass_member", check_max_string_cardinalities,
                  R"(SubClassOf(:C DataMaxCardinality(1 :p rdfs:Literal)) SubClassOf(:D :C) ClassAssertion(:D :a)
                     DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :a "y"))",
                  kClash},
        CheckCase{"max_strings_sub_property_counts", check_max_string_cardinalities,
                  kMaxOneString + R"( SubDataPropertyOf(:q :p)
                     DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:q :a "y"))",
                  kClash},
        CheckCase{"max_strings_super_property_does_not_count", check_max_string_cardinalities,
                  kMaxOneString + R"( SubDataPropertyOf(:p :r)
                     DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:r :a "y"))",
                  kNothing},
        // A restricted string range may hold neither string: no contradiction.
        CheckCase{"max_strings_length_restricted_range_counts_nothing", check_max_string_cardinalities,
                  R"(SubClassOf(:C DataMaxCardinality(1 :p DatatypeRestriction(xsd:string xsd:length "1"^^xsd:integer)))
                     ClassAssertion(:C :a) DataPropertyAssertion(:p :a "ab") DataPropertyAssertion(:p :a "cd"))",
                  kNothing},
        CheckCase{"max_strings_token_range_counts_nothing", check_max_string_cardinalities,
                  R"(SubClassOf(:C DataMaxCardinality(1 :p xsd:token)) ClassAssertion(:C :a)
                     DataPropertyAssertion(:p :a "ab") DataPropertyAssertion(:p :a "cd"))",
                  kNothing},
        // Disjoint properties.
        CheckCase{"disjoint_same_integer", check_disjoint_property_values,
                  R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "5"^^xsd:integer)
                     DataPropertyAssertion(:q :a "5"^^xsd:integer))",
                  kClash},
        CheckCase{"disjoint_integer_and_equal_decimal", check_disjoint_property_values,
                  R"(DisjointDataProperties(:q :p) DataPropertyAssertion(:p :a "5"^^xsd:integer)
                     DataPropertyAssertion(:q :a "5.0"^^xsd:decimal))",
                  kClash},
        CheckCase{"disjoint_float_and_double_differ", check_disjoint_property_values,
                  R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "1.0"^^xsd:float)
                     DataPropertyAssertion(:q :a "1.0"^^xsd:double))",
                  kNothing},
        CheckCase{"disjoint_different_individuals", check_disjoint_property_values,
                  R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:q :b "x"))",
                  kNothing},
        // +0 and -0 are two data values, and zeros are stored without their sign.
        CheckCase{"disjoint_zero_of_either_sign_is_not_shared", check_disjoint_property_values,
                  R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "0"^^xsd:double)
                     DataPropertyAssertion(:q :a "-0"^^xsd:double))",
                  kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckDisjointPropertyValues, is_off_when_data_properties_are_switched_off) {
  const std::string body = R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "x")
                              DataPropertyAssertion(:q :a "x"))";
  {
    ScopedSwitch off(SwitchId::DataProperties, "0");
    EXPECT_EQ(run(check_disjoint_property_values, body), kNothing);
  }
  ScopedSwitch empty(SwitchId::DataProperties, "");
  EXPECT_EQ(run(check_disjoint_property_values, body), kClash);
}

}  // namespace
}  // namespace kelmon
