#include "reasoner/explanation/axiom_order.h"

#include <gtest/gtest.h>

#include "explain_support.h"

namespace kelmon::explain {
namespace {

using testing::axioms;

TEST(AxiomOrderTests, KindFirstThenSuperclassBeforeSubclass) {
  const auto sorted = sort_axioms(axioms({
      "ClassAssertion(:A :a)",
      "SubClassOf(:A :Z)",
      "SubClassOf(:Z :B)",
      "TransitiveObjectProperty(:r)",
      "FunctionalObjectProperty(:r)",
      "SubObjectPropertyOf(:s :q)",
      "SubObjectPropertyOf(:t :p)",
      "EquivalentClasses(:A :B)",
  }));
  const auto expected = axioms({
      "SubClassOf(:Z :B)",  // superclass B < Z
      "SubClassOf(:A :Z)",
      "EquivalentClasses(:A :B)",
      "SubObjectPropertyOf(:t :p)",  // super-property p < q
      "SubObjectPropertyOf(:s :q)",
      "FunctionalObjectProperty(:r)",
      "TransitiveObjectProperty(:r)",
      "ClassAssertion(:A :a)",
  });
  ASSERT_EQ(sorted.size(), expected.size());
  for (std::size_t i = 0; i < sorted.size(); ++i)
    EXPECT_TRUE(owl::structurally_equal(sorted[i], expected[i])) << i;
}

TEST(AxiomOrderTests, CompareIsATotalOrderThatSortsEqualAxiomsTogether) {
  const auto a = axioms({"SubClassOf(:A :B)", "SubClassOf(:A :B)", "SubClassOf(:A :C)"});
  EXPECT_EQ(compare_axiom_order(a[0], a[1]), 0);
  EXPECT_LT(compare_axiom_order(a[0], a[2]), 0);
  EXPECT_GT(compare_axiom_order(a[2], a[0]), 0);
  const auto long_list = sort_axioms(axioms({"SubClassOf(:A :C)", "SubClassOf(:A :B)", "SubClassOf(:A :C)"}));
  EXPECT_TRUE(owl::structurally_equal(long_list[0], a[0]));
  EXPECT_TRUE(owl::structurally_equal(long_list[1], a[2]));
  EXPECT_TRUE(owl::structurally_equal(long_list[2], a[2]));
}

}  // namespace
}  // namespace kelmon::explain
