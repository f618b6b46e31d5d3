#include "reasoner/properties/property_pairs.h"

#include <gtest/gtest.h>

#include "reasoner/properties/property_test_support.h"

namespace kelmon::reasoner {
namespace {

using testing::load_axioms;
using testing::pair_text;

struct ClosureCase {
  const char* name;
  const char* axioms;
  const char* expected;  // pair_text of the closure
};

class ObjectClosure : public ::testing::TestWithParam<ClosureCase> {};

TEST_P(ObjectClosure, GivesEveryEntailedNamedPair) {
  auto loaded = load_axioms(GetParam().axioms);
  EXPECT_EQ(pair_text(told_subobjectproperty_closure(loaded.axioms)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ObjectClosure,
    ::testing::Values(
        ClosureCase{"NoPropertyAxioms", "SubClassOf(:A :B) Declaration(ObjectProperty(:p))", ""},
        ClosureCase{"EquivalenceBothWays", "EquivalentObjectProperties(:q :p)", "p<q q<p"},
        ClosureCase{"Transitive", "SubObjectPropertyOf(:q :r) SubObjectPropertyOf(:p :q)", "p<q p<r q<r"},
        ClosureCase{"InverseOfTwoIsEquivalence",
                    "InverseObjectProperties(:p :q) InverseObjectProperties(:p :r)", "q<r r<q"},
        ClosureCase{"InversesOnBothSides",
                    "SubObjectPropertyOf(ObjectInverseOf(:p) ObjectInverseOf(:q))", "p<q"},
        ClosureCase{"InverseOnOneSide", "SubObjectPropertyOf(ObjectInverseOf(:p) :q)", ""},
        // p⁻ ⊑ q and q ⊑ r⁻ give p⁻ ⊑ r⁻, that is p ⊑ r.
        ClosureCase{"ThroughInverses",
                    "SubObjectPropertyOf(ObjectInverseOf(:p) :q) SubObjectPropertyOf(:q ObjectInverseOf(:r))",
                    "p<r"},
        // q ≡ s⁻, s⁻ ⊑ t⁻ (mirror of s ⊑ t) and t⁻ ≡ u: q ⊑ u, hence p ⊑ u.
        ClosureCase{"InverseDeclaredThenSubProperty",
                    "SubObjectPropertyOf(:p :q) InverseObjectProperties(:q :s) SubObjectPropertyOf(:s :t) "
                    "InverseObjectProperties(:t :u)",
                    "p<q p<u q<u s<t"},
        ClosureCase{"ChainOnTheLeft", "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :r)", ""},
        ClosureCase{"TopAndBottomNeverNamed",
                    "SubObjectPropertyOf(:p owl:topObjectProperty) SubObjectPropertyOf(owl:bottomObjectProperty :p)",
                    ""},
        // The closure still passes through the top property.
        ClosureCase{"PathThroughTop",
                    "SubObjectPropertyOf(:p owl:topObjectProperty) SubObjectPropertyOf(owl:topObjectProperty :q)",
                    "p<q"},
        ClosureCase{"CycleIsEquivalence", "SubObjectPropertyOf(:a :b) SubObjectPropertyOf(:b :a) "
                                          "SubObjectPropertyOf(:b :c)",
                    "a<b a<c b<a b<c"},
        ClosureCase{"OtherAxiomsAddNothing",
                    "TransitiveObjectProperty(:p) SymmetricObjectProperty(:p) DisjointObjectProperties(:p :q) "
                    "ObjectPropertyDomain(:p :A) ObjectPropertyAssertion(:p :a :b)",
                    ""},
        ClosureCase{"DataAxiomsIgnored", "SubDataPropertyOf(:d :e)", ""}),
    [](const auto& info) { return std::string(info.param.name); });

class DataClosure : public ::testing::TestWithParam<ClosureCase> {};

TEST_P(DataClosure, GivesEveryEntailedPair) {
  auto loaded = load_axioms(GetParam().axioms);
  EXPECT_EQ(pair_text(told_subdataproperty_closure(loaded.axioms)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataClosure,
    ::testing::Values(
        ClosureCase{"NoPropertyAxioms", "Declaration(DataProperty(:d))", ""},
        ClosureCase{"EquivalenceOfThree", "EquivalentDataProperties(:f :e :d)", "d<e d<f e<d e<f f<d f<e"},
        ClosureCase{"TransitiveThroughEquivalence",
                    "SubDataPropertyOf(:c :d) EquivalentDataProperties(:d :e) SubDataPropertyOf(:e :f)",
                    "c<d c<e c<f d<e d<f e<d e<f"},
        ClosureCase{"TopAndBottomNeverNamed",
                    "SubDataPropertyOf(:d owl:topDataProperty) SubDataPropertyOf(owl:bottomDataProperty :d)", ""},
        ClosureCase{"ObjectAxiomsIgnored", "SubObjectPropertyOf(:p :q)", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PropertyPairs, SortAsBytesNotAsText) {
  // Uppercase sorts before lowercase, and a prefix before its extensions.
  auto loaded = load_axioms("SubObjectPropertyOf(:b :a) SubObjectPropertyOf(:B :ab) SubObjectPropertyOf(:b :ab)");
  EXPECT_EQ(pair_text(told_subobjectproperty_closure(loaded.axioms)), "B<ab b<a b<ab");
}

TEST(PropertyPairs, LongChainIsClosedWithoutReflexivePairs) {
  std::string axioms;
  constexpr int kLength = 300;
  for (int i = 0; i < kLength; ++i) {
    axioms += "SubObjectPropertyOf(:p" + std::to_string(i) + " :p" + std::to_string(i + 1) + ") ";
  }
  axioms += "SubObjectPropertyOf(:p" + std::to_string(kLength) + " :p0)";  // one big cycle
  auto loaded = load_axioms(axioms);
  auto pairs = told_subobjectproperty_closure(loaded.axioms);
  EXPECT_EQ(pairs.size(), size_t{kLength + 1} * kLength);
  for (const auto& [a, b] : pairs) EXPECT_NE(a, b);
  EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end()));
}

}  // namespace
}  // namespace kelmon::reasoner
