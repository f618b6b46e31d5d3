#include "reasoner/explanation/locality.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explain_support.h"
#include "reasoner/explanation/signature.h"

namespace kelmon::explain {
namespace {

using testing::axiom;
using testing::axioms;
using testing::iri;

Signature names(const std::vector<std::string>& locals) {
  Signature s;
  for (const auto& l : locals) s.insert(owl::Iri(iri(l)));
  return s;
}

owl::ClassExpression expression(const std::string& text) {
  return std::get<owl::SubClassOf>(axiom("SubClassOf(" + text + " :Zz)")).sub;
}

struct EquivalenceCase {
  const char* name;
  const char* expression;
  std::vector<std::string> signature;
  bool bottom;
  bool top;
};

class EquivalenceTests : public ::testing::TestWithParam<EquivalenceCase> {};

TEST_P(EquivalenceTests, BottomAndTopEquivalence) {
  const auto& c = GetParam();
  const auto e = expression(c.expression);
  const auto s = names(c.signature);
  EXPECT_EQ(is_bottom_equivalent(e, s), c.bottom);
  EXPECT_EQ(is_top_equivalent(e, s), c.top);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EquivalenceTests,
    ::testing::Values(
        EquivalenceCase{"class_outside", ":A", {}, true, false},
        EquivalenceCase{"class_inside", ":A", {"A"}, false, false},
        EquivalenceCase{"thing_outside", "owl:Thing", {}, false, true},
        EquivalenceCase{"nothing", "owl:Nothing", {}, true, false},
        EquivalenceCase{"and_one_bottom", "ObjectIntersectionOf(:A :B)", {"A"}, true, false},
        EquivalenceCase{"and_all_top", "ObjectIntersectionOf(owl:Thing owl:Thing)", {}, false, true},
        EquivalenceCase{"or_all_bottom", "ObjectUnionOf(:A :B)", {}, true, false},
        EquivalenceCase{"or_one_inside", "ObjectUnionOf(:A :B)", {"B"}, false, false},
        EquivalenceCase{"or_one_top", "ObjectUnionOf(:A owl:Thing)", {}, false, true},
        EquivalenceCase{"not_of_bottom", "ObjectComplementOf(:A)", {}, false, true},
        EquivalenceCase{"not_of_top", "ObjectComplementOf(owl:Thing)", {}, true, false},
        EquivalenceCase{"not_of_inside", "ObjectComplementOf(:A)", {"A"}, false, false},
        EquivalenceCase{"some_role_outside", "ObjectSomeValuesFrom(:r :B)", {"B"}, true, false},
        EquivalenceCase{"some_filler_bottom", "ObjectSomeValuesFrom(:r :B)", {"r"}, true, false},
        EquivalenceCase{"some_inside", "ObjectSomeValuesFrom(:r :B)", {"r", "B"}, false, false},
        EquivalenceCase{"some_inverse_inside", "ObjectSomeValuesFrom(ObjectInverseOf(:r) :B)", {"r", "B"}, false,
                        false},
        EquivalenceCase{"all_role_outside", "ObjectAllValuesFrom(:r :B)", {"B"}, false, true},
        EquivalenceCase{"all_filler_top", "ObjectAllValuesFrom(:r owl:Thing)", {"r"}, false, true},
        EquivalenceCase{"all_inside", "ObjectAllValuesFrom(:r :B)", {"r", "B"}, false, false},
        EquivalenceCase{"has_value_outside", "ObjectHasValue(:r :a)", {"a"}, true, false},
        EquivalenceCase{"has_self_inside", "ObjectHasSelf(:r)", {"r"}, false, false},
        EquivalenceCase{"one_of", "ObjectOneOf(:a)", {}, false, false},
        EquivalenceCase{"min0", "ObjectMinCardinality(0 :r :B)", {}, false, true},
        EquivalenceCase{"min1_outside", "ObjectMinCardinality(1 :r :B)", {"B"}, true, false},
        EquivalenceCase{"min1_inside", "ObjectMinCardinality(1 :r :B)", {"r", "B"}, false, false},
        EquivalenceCase{"max_filler_bottom", "ObjectMaxCardinality(2 :r :B)", {"r"}, false, true},
        EquivalenceCase{"max_inside", "ObjectMaxCardinality(2 :r :B)", {"r", "B"}, false, false},
        EquivalenceCase{"exact0_outside", "ObjectExactCardinality(0 :r :B)", {}, false, true},
        EquivalenceCase{"exact0_inside", "ObjectExactCardinality(0 :r :B)", {"r", "B"}, false, false},
        EquivalenceCase{"exact1_outside", "ObjectExactCardinality(1 :r :B)", {}, true, false},
        EquivalenceCase{"data_some_outside", "DataSomeValuesFrom(:d xsd:integer)", {}, true, false},
        EquivalenceCase{"data_some_inside", "DataSomeValuesFrom(:d xsd:integer)", {"d"}, false, false},
        EquivalenceCase{"data_has_value_outside", "DataHasValue(:d \"1\"^^xsd:integer)", {}, true, false},
        EquivalenceCase{"data_min0", "DataMinCardinality(0 :d)", {"d"}, false, true},
        EquivalenceCase{"data_min1_outside", "DataMinCardinality(1 :d)", {}, true, false},
        EquivalenceCase{"data_exact0", "DataExactCardinality(0 :d)", {}, false, false},
        EquivalenceCase{"data_all_outside", "DataAllValuesFrom(:d xsd:integer)", {}, false, true},
        EquivalenceCase{"data_max_inside", "DataMaxCardinality(1 :d)", {"d"}, false, false},
        EquivalenceCase{"nested_union_in_and", "ObjectIntersectionOf(:A ObjectUnionOf(:B :C))", {"A", "C"},
                        false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EquivalenceTests, EmptyUnionIsNotBottomAndEmptyIntersectionIsTop) {
  const Signature none;
  EXPECT_FALSE(is_bottom_equivalent(owl::ObjectUnionOf{}, none));
  EXPECT_FALSE(is_top_equivalent(owl::ObjectUnionOf{}, none));
  EXPECT_TRUE(is_top_equivalent(owl::ObjectIntersectionOf{}, none));
  EXPECT_FALSE(is_bottom_equivalent(owl::ObjectIntersectionOf{}, none));
  EXPECT_TRUE(is_bottom_equivalent(owl::ObjectOneOf{}, none));
}

TEST(EquivalenceTests, DeepNestingNeedsNoRecursion) {
  owl::ClassExpression e = owl::Class{owl::Iri(iri("A"))};
  for (int i = 0; i < 200000; ++i) e = owl::ObjectComplementOf{e};
  // An even number of complements around an outside class.
  EXPECT_TRUE(is_bottom_equivalent(e, Signature{}));
  Signature s;
  collect_signature(e, s);
  EXPECT_EQ(s.size(), 1u);
}

struct LocalCase {
  const char* name;
  const char* axiom;
  std::vector<std::string> signature;
  bool local;
};

class AxiomLocalityTests : public ::testing::TestWithParam<LocalCase> {};

TEST_P(AxiomLocalityTests, LocalityAgainstTheSignature) {
  EXPECT_EQ(is_bottom_local(axiom(GetParam().axiom), names(GetParam().signature)), GetParam().local);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AxiomLocalityTests,
    ::testing::Values(
        LocalCase{"sub_outside", "SubClassOf(:A :B)", {"B"}, true},
        LocalCase{"sub_inside", "SubClassOf(:A :B)", {"A"}, false},
        LocalCase{"sup_thing", "SubClassOf(:A owl:Thing)", {"A"}, true},
        LocalCase{"equivalent_all_bottom", "EquivalentClasses(:A :B)", {}, true},
        LocalCase{"equivalent_one_inside", "EquivalentClasses(:A :B)", {"B"}, false},
        LocalCase{"disjoint_one_inside", "DisjointClasses(:A :B :C)", {"A"}, true},
        LocalCase{"disjoint_two_inside", "DisjointClasses(:A :B :C)", {"A", "C"}, false},
        LocalCase{"disjoint_union", "DisjointUnion(:A :B :C)", {}, false},
        LocalCase{"subproperty_outside", "SubObjectPropertyOf(:r :s)", {"s"}, true},
        LocalCase{"subproperty_inverse_inside", "SubObjectPropertyOf(ObjectInverseOf(:r) :s)", {"r"}, false},
        LocalCase{"chain_one_outside", "SubObjectPropertyOf(ObjectPropertyChain(:r :t) :s)", {"r"}, true},
        LocalCase{"chain_inside", "SubObjectPropertyOf(ObjectPropertyChain(:r :t) :s)", {"r", "t"}, false},
        LocalCase{"equivalent_properties_none", "EquivalentObjectProperties(:r :s)", {}, true},
        LocalCase{"equivalent_properties_one", "EquivalentObjectProperties(:r :s)", {"s"}, false},
        LocalCase{"disjoint_properties_one", "DisjointObjectProperties(:r :s)", {"s"}, true},
        LocalCase{"disjoint_properties_two", "DisjointObjectProperties(:r :s)", {"r", "s"}, false},
        LocalCase{"inverse_one", "InverseObjectProperties(:r :s)", {"s"}, false},
        LocalCase{"domain_outside", "ObjectPropertyDomain(:r :A)", {"A"}, true},
        LocalCase{"domain_inside", "ObjectPropertyDomain(:r :A)", {"r"}, false},
        LocalCase{"range_thing", "ObjectPropertyRange(:r owl:Thing)", {"r"}, true},
        LocalCase{"data_domain", "DataPropertyDomain(:d :A)", {"d"}, false},
        LocalCase{"data_range_outside", "DataPropertyRange(:d xsd:integer)", {}, true},
        LocalCase{"data_range_inside", "DataPropertyRange(:d xsd:integer)", {"d"}, false},
        LocalCase{"functional_outside", "FunctionalObjectProperty(:r)", {}, true},
        LocalCase{"transitive_inside", "TransitiveObjectProperty(:r)", {"r"}, false},
        LocalCase{"reflexive", "ReflexiveObjectProperty(:r)", {}, false},
        LocalCase{"sub_data_outside", "SubDataPropertyOf(:d :e)", {"e"}, true},
        LocalCase{"equivalent_data_none", "EquivalentDataProperties(:d :e)", {}, true},
        LocalCase{"has_key", "HasKey(:A () (:d))", {}, false},
        LocalCase{"class_assertion", "ClassAssertion(:A :a)", {}, false},
        LocalCase{"property_assertion", "ObjectPropertyAssertion(:r :a :b)", {}, false},
        LocalCase{"same_individual", "SameIndividual(:a :b)", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ModuleTests, ModuleFollowsNamesThroughTheAxiomsInAnyOrder) {
  const auto logical = axioms({
      "SubClassOf(:C :D)",                            // joins once C is in (from B's axiom)
      "SubClassOf(:B ObjectSomeValuesFrom(:r :C))",   // joins once B is in
      "SubClassOf(:A :B)",                            // joins at once
      "SubClassOf(:X :A)",                            // X is never in
      "SubClassOf(:A owl:Thing)",                     // always local
  });
  auto seed = names({"A"});
  const auto module = bottom_locality_module(logical, seed);
  ASSERT_EQ(module.size(), 3u);
  EXPECT_TRUE(owl::structurally_equal(module[0], logical[0]));
  EXPECT_TRUE(owl::structurally_equal(module[1], logical[1]));
  EXPECT_TRUE(owl::structurally_equal(module[2], logical[2]));
  std::vector<owl::Axiom> reversed(logical.rbegin(), logical.rend());
  EXPECT_EQ(bottom_locality_module(reversed, seed).size(), 3u);
}

TEST(ModuleTests, AssertionsAlwaysJoinAndBringTheirNames) {
  const auto logical = axioms({"SubClassOf(:B :C)", "ClassAssertion(:B :a)", "SubClassOf(:Q :R)"});
  const auto module = bottom_locality_module(logical, Signature{});
  ASSERT_EQ(module.size(), 2u);
  EXPECT_TRUE(owl::structurally_equal(module[0], logical[0]));
  EXPECT_TRUE(owl::structurally_equal(module[1], logical[1]));
}

TEST(SignatureTests, CollectsClassesPropertiesAndNamedIndividualsButNoData) {
  Signature s;
  collect_signature(expression("ObjectIntersectionOf(owl:Thing ObjectSomeValuesFrom(ObjectInverseOf(:r) "
                               "ObjectOneOf(:a)) ObjectHasValue(:p :b) DataHasValue(:d \"1\"^^xsd:integer))"),
                    s);
  Signature expected = names({"r", "a", "p", "b", "d"});
  expected.insert(owl::Iri("http://www.w3.org/2002/07/owl#Thing"));
  EXPECT_EQ(s, expected);
}

TEST(SignatureTests, QuerySignatureTakesTheQueryNames) {
  EXPECT_FALSE(query_signature(JustifyQuery{QueryKind::Inconsistent, {}}).has_value());
  auto value = query_signature(JustifyQuery{QueryKind::DataValue, {"a", "dp", "5", "xsd-int"}});
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->size(), 2u);
  EXPECT_TRUE(value->contains(owl::Iri("dp")));
  auto property = query_signature(JustifyQuery{QueryKind::Property, {"a", "p", "b"}});
  EXPECT_EQ(property->size(), 3u);
}

}  // namespace
}  // namespace kelmon::explain
