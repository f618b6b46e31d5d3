#include <gtest/gtest.h>

#include "core/data_axioms/data_axiom_index.h"
#include "core/data_axioms/told_fixture.h"

namespace kelmon {
namespace {

using testing::iri;
using testing::read_body;

DataAxiomIndex index_of(const std::string& body) { return build_data_axiom_index(read_body(body).axioms); }

std::vector<std::uint32_t> counts(const std::map<IriPair, std::vector<CountedRange>>& map, const IriPair& key) {
  std::vector<std::uint32_t> out;
  const auto it = map.find(key);
  if (it == map.end()) return out;
  for (const auto& b : it->second) out.push_back(b.count);
  return out;
}

TEST(DataAxiomIndex, empty_set_gives_empty_index) {
  const auto index = build_data_axiom_index(owl::AxiomSet{});
  EXPECT_TRUE(index.functional_properties.empty());
  EXPECT_TRUE(index.min_cardinalities.empty());
  EXPECT_TRUE(index.required_value_pairs.empty());
  EXPECT_TRUE(index.asserted_values.empty());
  EXPECT_TRUE(index.domain_unions.empty());
}

TEST(DataAxiomIndex, value_implied_classes_take_any_demanding_antecedent) {
  const auto index = index_of(R"(
    SubClassOf(DataSomeValuesFrom(:p DataComplementOf(rdfs:Literal)) :C)
    SubClassOf(DataHasValue(:q "1"^^xsd:integer) :D)
    SubClassOf(DataMinCardinality(0 :r) :E)
    SubClassOf(DataExactCardinality(2 :r xsd:string) :X))");
  EXPECT_TRUE(index.value_implied_classes.at(iri("p")).contains(iri("C")));
  EXPECT_TRUE(index.value_implied_classes.at(iri("q")).contains(iri("D")));
  ASSERT_TRUE(index.value_implied_classes.contains(iri("r")));
  EXPECT_FALSE(index.value_implied_classes.at(iri("r")).contains(iri("E")));  // a count of 0 demands nothing
  EXPECT_TRUE(index.value_implied_classes.at(iri("r")).contains(iri("X")));
}

TEST(DataAxiomIndex, walks_nested_intersections_of_a_superclass) {
  const auto index = index_of(R"(
    SubClassOf(:A ObjectIntersectionOf(:B ObjectIntersectionOf(DataMinCardinality(2 :p xsd:string)
        DataSomeValuesFrom(:q DatatypeRestriction(xsd:integer xsd:minInclusive "1"^^xsd:integer
                                                  xsd:maxInclusive "5"^^xsd:integer))))))");
  EXPECT_EQ(counts(index.min_cardinalities, {iri("A"), iri("p")}), (std::vector<std::uint32_t>{2}));
  EXPECT_EQ(index.required_value_pairs, (std::set<IriPair>{{iri("A"), iri("p")}, {iri("A"), iri("q")}}));
  EXPECT_EQ(index.integer_ranges.at({iri("A"), iri("q")}), (std::vector<IntInterval>{{1, 5}}));
  EXPECT_TRUE(index.named_subclass_pairs.empty());
}

TEST(DataAxiomIndex, equivalent_classes_record_for_every_named_member) {
  const auto index = index_of("EquivalentClasses(:A :B DataMaxCardinality(1 :p xsd:string))");
  EXPECT_EQ(counts(index.max_cardinalities, {iri("A"), iri("p")}), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(counts(index.max_cardinalities, {iri("B"), iri("p")}), (std::vector<std::uint32_t>{1}));
  EXPECT_EQ(index.max_literal_cardinalities,
            (std::map<IriPair, std::uint32_t>{{{iri("A"), iri("p")}, 1}, {{iri("B"), iri("p")}, 1}}));
  EXPECT_TRUE(index.named_subclass_pairs.empty());
}

struct LiteralLimitCase {
  const char* name;
  const char* range;
  bool counts_strings;

  friend void PrintTo(const LiteralLimitCase& c, std::ostream* os) { *os << c.name; }
};

class MaxLiteralCardinalities : public ::testing::TestWithParam<LiteralLimitCase> {};

// Only a range holding every string may bound the number of asserted strings.
TEST_P(MaxLiteralCardinalities, only_unrestricted_string_ranges_count) {
  const auto index = index_of(std::string("SubClassOf(:A DataMaxCardinality(3 :p ") + GetParam().range + "))");
  EXPECT_EQ(counts(index.max_cardinalities, {iri("A"), iri("p")}), (std::vector<std::uint32_t>{3}));
  EXPECT_EQ(index.max_literal_cardinalities.contains({iri("A"), iri("p")}), GetParam().counts_strings);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MaxLiteralCardinalities,
    ::testing::Values(LiteralLimitCase{"integer", "xsd:integer", false},
                      LiteralLimitCase{"literal", "rdfs:Literal", true},
                      LiteralLimitCase{"string", "xsd:string", true},
                      LiteralLimitCase{"token", "xsd:token", false},
                      LiteralLimitCase{"string_length", "DatatypeRestriction(xsd:string xsd:length \"1\"^^xsd:integer)",
                                       false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DataAxiomIndex, keeps_the_tightest_count_per_range) {
  const auto index = index_of(R"(
    SubClassOf(:A DataMinCardinality(2 :p xsd:string))
    SubClassOf(:A DataMinCardinality(3 :p xsd:string))
    SubClassOf(:A DataMinCardinality(0 :p xsd:integer))
    SubClassOf(:A DataMaxCardinality(4 :p xsd:string))
    SubClassOf(:A DataMaxCardinality(2 :p xsd:string)))");
  auto mins = counts(index.min_cardinalities, {iri("A"), iri("p")});
  std::sort(mins.begin(), mins.end());
  EXPECT_EQ(mins, (std::vector<std::uint32_t>{0, 3}));
  EXPECT_EQ(counts(index.max_cardinalities, {iri("A"), iri("p")}), (std::vector<std::uint32_t>{2}));
  EXPECT_FALSE(index.required_value_pairs.empty());
}

TEST(DataAxiomIndex, domains_take_named_classes_and_unions_of_them) {
  const auto index = index_of(R"(
    DataPropertyDomain(:p :C)
    DataPropertyDomain(:p ObjectUnionOf(:C :D))
    DataPropertyDomain(:q ObjectUnionOf(:C ObjectComplementOf(:D)))
    DataPropertyDomain(:r ObjectIntersectionOf(:C :D)))");
  EXPECT_EQ(index.domain_classes, (std::vector<IriPair>{{iri("p"), iri("C")}}));
  ASSERT_EQ(index.domain_unions.size(), 1u);
  EXPECT_EQ(index.domain_unions[0].first, iri("p"));
  EXPECT_EQ(index.domain_unions[0].second, (std::vector<std::string>{iri("C"), iri("D")}));
}

TEST(DataAxiomIndex, property_pairs_from_sub_equivalent_and_disjoint_axioms) {
  const auto equivalent = index_of("EquivalentDataProperties(:p1 :p2 :p3)");
  EXPECT_EQ(equivalent.sub_property_pairs.size(), 6u);
  const auto disjoint = index_of("DisjointDataProperties(:q :p)");
  EXPECT_EQ(disjoint.disjoint_property_pairs, (std::vector<IriPair>{{iri("p"), iri("q")}}));
  const auto sub = index_of("SubDataPropertyOf(:q :p)");
  EXPECT_EQ(sub.sub_property_pairs, (std::vector<IriPair>{{iri("q"), iri("p")}}));
}

TEST(DataAxiomIndex, ranges_give_families_and_string_enumerations) {
  const auto index = index_of(R"(
    DataPropertyRange(:p xsd:string)
    DataPropertyRange(:q DataOneOf("a" "b"))
    DataPropertyRange(:r DatatypeRestriction(xsd:integer xsd:minInclusive "0"^^xsd:integer))
    DataPropertyRange(:s rdfs:Literal))");
  EXPECT_EQ(index.range_families, (std::map<std::string, std::vector<DatatypeFamily>>{
                                      {iri("p"), {DatatypeFamily::StringLike}}, {iri("r"), {DatatypeFamily::Numeric}}}));
  EXPECT_EQ(index.range_string_values, (std::map<std::string, std::vector<StringSet>>{{iri("q"), {{"a", "b"}}}}));
}

TEST(DataAxiomIndex, assertions_of_anonymous_subjects_give_families_and_strings_only) {
  const auto index = index_of(R"(DataPropertyAssertion(:p _:b "x"))");
  EXPECT_EQ(index.assertion_families, (std::vector<std::pair<std::string, DatatypeFamily>>{
                                          {iri("p"), DatatypeFamily::StringLike}}));
  EXPECT_EQ(index.string_assertions, (std::vector<IriPair>{{iri("p"), "x"}}));
  EXPECT_TRUE(index.asserted_strings.empty());
  EXPECT_TRUE(index.asserted_values.empty());
}

TEST(DataAxiomIndex, asserted_values_merge_equal_values) {
  const auto index = index_of(R"(
    DataPropertyAssertion(:p :a "0"^^xsd:double)
    DataPropertyAssertion(:p :a "-0"^^xsd:double)
    DataPropertyAssertion(:p :a "1"^^xsd:integer)
    DataPropertyAssertion(:p :a "1.0"^^xsd:decimal)
    DataPropertyAssertion(:p :a "1"^^xsd:float)
    DataPropertyAssertion(:p :a "1"^^xsd:double)
    DataPropertyAssertion(:p :a "1"^^xsd:int)
    DataPropertyAssertion(:p :a "x")
    DataPropertyAssertion(:p :a "x"^^xsd:string)
    ClassAssertion(:C :a)
    ClassAssertion(ObjectUnionOf(:C :D) :a))");
  EXPECT_EQ(index.asserted_values.at({iri("a"), iri("p")}).size(), 5u);  // 0d, 1, 1f, 1d, "x"
  EXPECT_EQ(index.asserted_strings.at({iri("a"), iri("p")}), (IriSet{"x"}));
  EXPECT_EQ(index.class_assertions, (std::vector<IriPair>{{iri("a"), iri("C")}}));
  EXPECT_EQ(std::count(index.assertion_families.begin(), index.assertion_families.end(),
                       std::pair<std::string, DatatypeFamily>{iri("p"), DatatypeFamily::Numeric}),
            7);
}

}  // namespace
}  // namespace kelmon

namespace kelmon {
namespace {

// A superclass nested far deeper than the C stack could follow is walked to its bottom.
TEST(DataAxiomIndex, walks_very_deep_intersections_without_recursion) {
  owl::ClassExpression x = owl::DataMinCardinality{2, owl::DataProperty{owl::Iri(testing::iri("p"))},
                                                   owl::Datatype{owl::Iri("http://www.w3.org/2000/01/rdf-schema#Literal")}};
  for (int depth = 0; depth < 200000; ++depth)
    x = owl::ObjectIntersectionOf{{owl::Class{owl::Iri(testing::iri("B"))}, x}};
  owl::AxiomSet axioms;
  axioms.insert(owl::SubClassOf{owl::Class{owl::Iri(testing::iri("A"))}, x});
  const auto index = build_data_axiom_index(axioms);
  EXPECT_EQ(counts(index.min_cardinalities, {testing::iri("A"), testing::iri("p")}), (std::vector<std::uint32_t>{2}));
  EXPECT_TRUE(index.required_value_pairs.contains({testing::iri("A"), testing::iri("p")}));
}

}  // namespace
}  // namespace kelmon
