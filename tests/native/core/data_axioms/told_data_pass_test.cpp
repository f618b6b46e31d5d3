#include <gtest/gtest.h>

#include "core/data_axioms/told_data_pass.h"
#include "core/data_axioms/told_fixture.h"
#include "common/scoped_switch.h"

namespace kelmon {
namespace {

using testing::ScopedSwitch;

using testing::kClash;
using testing::kNothing;
using testing::told_axioms;
using Strings = std::vector<std::string>;

struct PassCase {
  const char* name;
  std::string body;
  Strings expected;  // sorted

  friend void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }
};

class ToldDataPass : public ::testing::TestWithParam<PassCase> {};

TEST_P(ToldDataPass, derives_exactly_the_entailed_axioms) { EXPECT_EQ(told_axioms(GetParam().body), GetParam().expected); }

const std::string kMinTwoFunctional = "FunctionalDataProperty(:p) SubClassOf(:B DataMinCardinality(2 :p xsd:string))\n";
const std::string kRange1to5 =
    R"(DatatypeRestriction(xsd:integer xsd:minInclusive "1"^^xsd:integer xsd:maxInclusive "5"^^xsd:integer))";
const std::string kRange5to9 =
    R"(DatatypeRestriction(xsd:integer xsd:minInclusive "5"^^xsd:integer xsd:maxInclusive "9"^^xsd:integer))";
const std::string kRange7to9 =
    R"(DatatypeRestriction(xsd:integer xsd:minInclusive "7"^^xsd:integer xsd:maxInclusive "9"^^xsd:integer))";

INSTANTIATE_TEST_SUITE_P(
    ClassSteps, ToldDataPass,
    ::testing::Values(
        PassCase{"no_data_axioms", "SubClassOf(:A :B) ClassAssertion(:A :a)", kNothing},
        PassCase{"functional_needs_two_values", kMinTwoFunctional, {"B < Bottom"}},
        PassCase{"named_subclass_is_not_followed", kMinTwoFunctional + "SubClassOf(:A :B)", {"B < Bottom"}},
        PassCase{"named_conjunct_hands_down_its_bounds",
                 kMinTwoFunctional + "SubClassOf(:A ObjectIntersectionOf(:B :C))",
                 {"A < Bottom", "B < Bottom"}},
        PassCase{"equivalent_intersection_hands_down_its_bounds",
                 kMinTwoFunctional + "EquivalentClasses(:A ObjectIntersectionOf(:B :C))",
                 {"A < Bottom", "B < Bottom"}},
        PassCase{"conjuncts_chain", kMinTwoFunctional + R"(SubClassOf(:A ObjectIntersectionOf(:C :E))
                 SubClassOf(:C ObjectIntersectionOf(:B :D)))",
                 {"A < Bottom", "B < Bottom", "C < Bottom"}},
        PassCase{"functional_one_value_is_fine", "FunctionalDataProperty(:p) SubClassOf(:A DataMinCardinality(1 :p))",
                 kNothing},
        PassCase{"min_equal_to_max", "SubClassOf(:A DataMinCardinality(3 :p)) SubClassOf(:A DataMaxCardinality(3 :p))",
                 kNothing},
        PassCase{"min_above_max", "SubClassOf(:A DataMinCardinality(3 :p)) SubClassOf(:A DataMaxCardinality(2 :p))",
                 {"A < Bottom"}},
        PassCase{"exact_against_unqualified_max",
                 "SubClassOf(:A DataExactCardinality(3 :p xsd:integer)) SubClassOf(:A DataMaxCardinality(2 :p))",
                 {"A < Bottom"}},
        PassCase{"functional_disjoint_integer_ranges",
                 "FunctionalDataProperty(:p) SubClassOf(:A DataSomeValuesFrom(:p " + kRange1to5 +
                     ")) SubClassOf(:A DataSomeValuesFrom(:p " + kRange7to9 + "))",
                 {"A < Bottom"}},
        PassCase{"functional_touching_integer_ranges",
                 "FunctionalDataProperty(:p) SubClassOf(:A DataSomeValuesFrom(:p " + kRange1to5 +
                     ")) SubClassOf(:A DataSomeValuesFrom(:p " + kRange5to9 + "))",
                 kNothing},
        PassCase{"non_functional_disjoint_integer_ranges",
                 "SubClassOf(:A DataSomeValuesFrom(:p " + kRange1to5 + ")) SubClassOf(:A DataSomeValuesFrom(:p " +
                     kRange7to9 + "))",
                 kNothing},
        PassCase{"functional_single_range", "FunctionalDataProperty(:p) SubClassOf(:A DataSomeValuesFrom(:p " +
                                                kRange1to5 + "))",
                 kNothing},
        PassCase{"functional_integer_ranges_through_conjunct",
                 "FunctionalDataProperty(:p) SubClassOf(:B DataSomeValuesFrom(:p " + kRange1to5 +
                     ")) SubClassOf(:A ObjectIntersectionOf(:B DataSomeValuesFrom(:p " + kRange7to9 + ")))",
                 {"A < Bottom"}},
        PassCase{"domain_of_required_property", "DataPropertyDomain(:p :Y) SubClassOf(:X DataSomeValuesFrom(:p xsd:string))",
                 {"X < Y"}},
        PassCase{"domain_of_super_property",
                 R"(DataPropertyDomain(:p :Y) SubDataPropertyOf(:q :p) SubClassOf(:X DataHasValue(:q "v")))",
                 {"X < Y"}},
        PassCase{"domain_is_the_class_itself", "DataPropertyDomain(:p :X) SubClassOf(:X DataSomeValuesFrom(:p xsd:string))",
                 kNothing},
        PassCase{"domain_reached_twice_is_listed_twice",
                 R"(DataPropertyDomain(:p :Y) SubDataPropertyOf(:q :p)
                    SubClassOf(:X DataMinCardinality(1 :p)) SubClassOf(:X DataHasValue(:q "v")))",
                 {"X < Y", "X < Y"}},
        PassCase{"domain_through_conjunct", R"(DataPropertyDomain(:p :Y) SubClassOf(:B DataHasValue(:p "v"))
                    SubClassOf(:X ObjectIntersectionOf(:B :C)))",
                 {"B < Y", "X < Y"}},
        PassCase{"class_outside_vocabulary_gives_nothing",
                 "DataPropertyDomain(:p :Unknown) SubClassOf(:X DataSomeValuesFrom(:p xsd:string))"
                 " FunctionalDataProperty(:q) SubClassOf(:Other DataMinCardinality(2 :q))",
                 kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

// A ⊑ ≥2 p.string and A ⊑ ≤1 p.integer: the strings need not be integers.
INSTANTIATE_TEST_SUITE_P(
    QualifiedBounds, ToldDataPass,
    ::testing::Values(
        PassCase{"min_and_max_over_unrelated_ranges",
                 "SubClassOf(:A DataMinCardinality(2 :p xsd:string)) SubClassOf(:A DataMaxCardinality(1 :p xsd:integer))",
                 kNothing},
        PassCase{"max_over_every_literal",
                 "SubClassOf(:A DataMinCardinality(2 :p xsd:string)) SubClassOf(:A DataMaxCardinality(1 :p rdfs:Literal))",
                 {"A < Bottom"}},
        PassCase{"min_and_max_over_one_range",
                 "SubClassOf(:A DataMinCardinality(2 :p xsd:string)) SubClassOf(:A DataMaxCardinality(1 :p xsd:string))",
                 {"A < Bottom"}},
        PassCase{"min_over_narrower_integers",
                 "SubClassOf(:A DataMinCardinality(2 :p xsd:int)) SubClassOf(:A DataMaxCardinality(1 :p xsd:integer))",
                 {"A < Bottom"}},
        PassCase{"min_over_wider_integers",
                 "SubClassOf(:A DataMinCardinality(2 :p xsd:integer)) SubClassOf(:A DataMaxCardinality(1 :p xsd:int))",
                 kNothing},
        PassCase{"min_over_string_subset",
                 R"(SubClassOf(:A DataMinCardinality(2 :p DataOneOf("a" "b")))
                    SubClassOf(:A DataMaxCardinality(1 :p DataOneOf("a" "b" "c"))))",
                 {"A < Bottom"}},
        PassCase{"unrelated_ranges_through_conjunct",
                 R"(SubClassOf(:B DataMinCardinality(2 :p xsd:string))
                    SubClassOf(:A ObjectIntersectionOf(:B DataMaxCardinality(1 :p xsd:integer))))",
                 kNothing},
        PassCase{"same_range_through_conjunct",
                 R"(SubClassOf(:B DataMinCardinality(2 :p xsd:string))
                    SubClassOf(:A ObjectIntersectionOf(:B DataMaxCardinality(1 :p xsd:string))))",
                 {"A < Bottom"}}),
    [](const auto& info) { return std::string(info.param.name); });

const std::string kSub = "SubDataPropertyOf(:q :p)\n";

// X ⊑ D only when X's own requirement meets the antecedent of SubClassOf(R, D).
INSTANTIATE_TEST_SUITE_P(
    ValueImplications, ToldDataPass,
    ::testing::Values(
        PassCase{"different_value_implies_nothing",
                 kSub + R"(SubClassOf(DataHasValue(:p "1"^^xsd:integer) :D)
                           SubClassOf(:X DataHasValue(:p "2"^^xsd:integer)))",
                 kNothing},
        PassCase{"equal_value_of_sub_property",
                 kSub + R"(SubClassOf(DataHasValue(:p "1"^^xsd:integer) :D)
                           SubClassOf(:X DataHasValue(:q "01"^^xsd:integer)))",
                 {"X < D"}},
        PassCase{"any_value_antecedent_acts_as_domain",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p rdfs:Literal) :D)
                           SubClassOf(:X DataHasValue(:q "2"^^xsd:integer)))",
                 {"X < D"}},
        PassCase{"unqualified_min_one_acts_as_domain",
                 kSub + R"(SubClassOf(DataMinCardinality(1 :p) :D) SubClassOf(:X DataSomeValuesFrom(:q xsd:string)))",
                 {"X < D"}},
        PassCase{"requirement_within_antecedent_range",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p xsd:integer) :D)
                           SubClassOf(:X DataSomeValuesFrom(:q xsd:nonNegativeInteger)))",
                 {"X < D"}},
        PassCase{"requirement_outside_antecedent_range",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p xsd:integer) :D)
                           SubClassOf(:X DataSomeValuesFrom(:q xsd:string)))",
                 kNothing},
        PassCase{"required_value_inside_antecedent_range",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p xsd:integer) :D)
                           SubClassOf(:X DataHasValue(:q "5"^^xsd:integer)))",
                 {"X < D"}},
        PassCase{"required_value_outside_antecedent_range",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p xsd:integer) :D) SubClassOf(:X DataHasValue(:q "five")))",
                 kNothing},
        PassCase{"one_value_does_not_meet_a_count_of_two",
                 kSub + R"(SubClassOf(DataMinCardinality(2 :p xsd:string) :D)
                           SubClassOf(:X DataSomeValuesFrom(:q xsd:string)))",
                 kNothing},
        PassCase{"three_values_meet_a_count_of_two",
                 kSub + R"(SubClassOf(DataMinCardinality(2 :p xsd:string) :D)
                           SubClassOf(:X DataMinCardinality(3 :q xsd:string)))",
                 {"X < D"}},
        PassCase{"exact_antecedent_needs_an_upper_bound",
                 kSub + R"(SubClassOf(DataExactCardinality(1 :p) :D) SubClassOf(:X DataSomeValuesFrom(:q rdfs:Literal)))",
                 kNothing},
        PassCase{"property_in_no_sub_property_axiom_gives_nothing",
                 R"(SubClassOf(DataSomeValuesFrom(:r rdfs:Literal) :D) SubClassOf(:X DataHasValue(:r "v")))", kNothing},
        PassCase{"requirement_handed_down_by_conjunct",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p xsd:integer) :D)
                           SubClassOf(:B DataSomeValuesFrom(:q xsd:int)) SubClassOf(:X ObjectIntersectionOf(:B :C)))",
                 {"B < D", "X < D"}},
        PassCase{"implied_class_is_the_class_itself",
                 kSub + R"(SubClassOf(DataSomeValuesFrom(:p rdfs:Literal) :X) SubClassOf(:X DataHasValue(:q "v")))",
                 kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Contradictions, ToldDataPass,
    ::testing::Values(
        PassCase{"functional_property_with_two_values",
                 R"(FunctionalDataProperty(:p) DataPropertyAssertion(:p :a "1"^^xsd:integer)
                    DataPropertyAssertion(:p :a "2"^^xsd:integer))",
                 kClash},
        PassCase{"value_outside_told_range",
                 R"(DataPropertyRange(:p DatatypeRestriction(xsd:integer xsd:minInclusive "0"^^xsd:integer))
                    DataPropertyAssertion(:p :a "-1"^^xsd:integer))",
                 kClash},
        PassCase{"value_of_other_family_than_range",
                 R"(DataPropertyRange(:p xsd:integer) DataPropertyAssertion(:p :a "x"))", kClash},
        PassCase{"disjoint_properties_sharing_a_value",
                 R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:q :a "x"))",
                 kClash},
        PassCase{"individual_above_told_string_limit",
                 R"(SubClassOf(:C DataMaxCardinality(1 :p rdfs:Literal)) ClassAssertion(:C :a)
                    DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :a "y"))",
                 kClash},
        PassCase{"strings_outside_a_length_restricted_limit",
                 R"(SubClassOf(:C DataMaxCardinality(1 :p DatatypeRestriction(xsd:string xsd:length "1"^^xsd:integer)))
                    ClassAssertion(:C :a) DataPropertyAssertion(:p :a "ab") DataPropertyAssertion(:p :a "cd"))",
                 kNothing},
        // The range check, the family check and the functional check each report once.
        PassCase{"each_check_reports_once",
                 R"(FunctionalDataProperty(:p) DataPropertyRange(:p DataOneOf("a"))
                    DataPropertyAssertion(:p :a "b") DataPropertyAssertion(:p :a "c"))",
                 {"Top < Bottom", "Top < Bottom", "Top < Bottom"}},
        PassCase{"consistent_data_facts",
                 R"(FunctionalDataProperty(:p) DataPropertyRange(:p xsd:integer) DisjointDataProperties(:p :q)
                    DataPropertyAssertion(:p :a "1"^^xsd:integer) DataPropertyAssertion(:q :a "2"^^xsd:integer))",
                 kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToldDataPassSwitch, keeps_every_step_but_the_disjoint_check_when_data_properties_are_off) {
  ScopedSwitch off(SwitchId::DataProperties, "0");
  EXPECT_EQ(told_axioms(R"(DisjointDataProperties(:p :q) DataPropertyAssertion(:p :a "x")
                           DataPropertyAssertion(:q :a "x"))"),
            kNothing);
  EXPECT_EQ(told_axioms(R"(FunctionalDataProperty(:p) DataPropertyAssertion(:p :a "x") DataPropertyAssertion(:p :a "y")
                           DataPropertyDomain(:p :Y) SubClassOf(:X DataHasValue(:p "z")))"),
            (Strings{"Top < Bottom", "X < Y"}));
}

TEST(ToldDataPassOutput, interns_only_the_classes_it_names) {
  const auto loaded = testing::read_body(R"(FunctionalDataProperty(:p) SubClassOf(:B DataMinCardinality(2 :p))
                                           SubClassOf(:A DataMaxCardinality(1 :p)))");
  testing::ToldIr told({"A", "B"});
  const std::size_t before = told.ir.concepts.size();
  const auto out = derive_told_data_axioms(loaded.axioms, told.ir, told.top, told.bottom);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(told.ir.concepts.size(), before + 1);  // Atomic B only
  const auto& sub = std::get<SubClassOf>(out[0]);
  EXPECT_EQ(sub.sup, told.bottom);
  EXPECT_EQ(told.ir.concepts.get(sub.sub), Concept{Atomic{told.ir.vocabulary.classes.get(testing::iri("B"))->id}});
}

}  // namespace
}  // namespace kelmon
