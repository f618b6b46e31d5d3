#include "reasoner/properties/consistency_gate.h"

#include <gtest/gtest.h>

#include "reasoner/properties/property_classify.h"
#include "reasoner/properties/property_test_support.h"
#include "reasoner/properties/told_disjoint.h"

namespace kelmon::reasoner {
namespace {

using testing::load_axioms;

// Facts that saturate to a clash, beside property axioms that would answer.
constexpr const char* kClash =
    "DisjointClasses(:Cat :Dog) SubClassOf(:Puppy :Dog) ClassAssertion(:Cat :felix) ClassAssertion(:Puppy :felix) "
    "SubObjectPropertyOf(:p :q) DisjointObjectProperties(:p :r) SubDataPropertyOf(:d :e) DisjointDataProperties(:d :f)";

TEST(ConsistencyGate, PassesFactsWithoutAClash) {
  EXPECT_TRUE(consistency_gate(load_axioms("DisjointClasses(:Cat :Dog) ClassAssertion(:Cat :felix) "
                                           "ClassAssertion(:Dog :rex) ObjectPropertyAssertion(:p :felix :rex)")));
  EXPECT_TRUE(consistency_gate(load_axioms("")));
}

TEST(ConsistencyGate, RefusesFactsThatClash) {
  auto gate = consistency_gate(load_axioms(kClash));
  ASSERT_FALSE(gate);
  EXPECT_TRUE(std::holds_alternative<Inconsistent>(gate.error()));
}

using Service = Result<PropertyPairs> (*)(const owl::LoadedOntology&);

class EveryPropertyService : public ::testing::TestWithParam<Service> {};

TEST_P(EveryPropertyService, RefusesAnOntologyWhoseFactsClash) {
  auto answer = GetParam()(load_axioms(kClash));
  ASSERT_FALSE(answer);
  EXPECT_TRUE(std::holds_alternative<Inconsistent>(answer.error()));
}

INSTANTIATE_TEST_SUITE_P(Services, EveryPropertyService,
                         ::testing::Values(&inferred_subobjectproperty_pairs, &inferred_subdataproperty_pairs,
                                           &disjoint_object_properties, &disjoint_data_properties));

TEST(PropertyServices, AnswerFromTheToldAxiomsOnceTheFactsPass) {
  auto loaded = load_axioms("SubObjectPropertyOf(:p :q) SubDataPropertyOf(:d :e) ObjectPropertyAssertion(:p :a :b) "
                            "ClassAssertion(:A :a)");
  auto object_pairs = inferred_subobjectproperty_pairs(loaded);
  ASSERT_TRUE(object_pairs);
  EXPECT_EQ(testing::pair_text(*object_pairs), "p<q");
  auto data_pairs = inferred_subdataproperty_pairs(loaded);
  ASSERT_TRUE(data_pairs);
  EXPECT_EQ(testing::pair_text(*data_pairs), "d<e");
}

}  // namespace
}  // namespace kelmon::reasoner
