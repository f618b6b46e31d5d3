#include "reasoner/kernel/ontology_scans.h"

#include <gtest/gtest.h>

#include "core/convert/convert_support.h"
#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::IrFixture;

struct TouchCase {
  const char* name;
  const char* body;
  bool tbox;   // tbox_mentions_nominal
  bool touch;  // abox_touches_tbox
};

class NominalScan : public ::testing::TestWithParam<TouchCase> {};

TEST_P(NominalScan, FindsNominalsWhereTheyTieTheAboxToTheTbox) {
  auto ir = convert_ofn(GetParam().body);
  EXPECT_EQ(tbox_mentions_nominal(ir), GetParam().tbox);
  EXPECT_EQ(abox_touches_tbox(ir), GetParam().touch);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NominalScan,
    ::testing::Values(
        TouchCase{"empty", "", false, false},
        TouchCase{"plain", "SubClassOf(:A :B) ClassAssertion(:A :a)", false, false},
        TouchCase{"has_value_sup", "SubClassOf(:A ObjectHasValue(:r :b)) ClassAssertion(:A :a)", true, true},
        TouchCase{"nested_in_union", "EquivalentClasses(:A ObjectUnionOf(:B ObjectAllValuesFrom(:r ObjectOneOf(:b))))",
                  true, true},
        TouchCase{"disjoint", "DisjointClasses(:A ObjectOneOf(:b))", true, true},
        TouchCase{"range", "ObjectPropertyRange(:r ObjectOneOf(:b)) ObjectPropertyAssertion(:r :a :c)", true, true},
        TouchCase{"domain", "ObjectPropertyDomain(:r ObjectUnionOf(:B ObjectOneOf(:b)))", true, true},
        TouchCase{"class_assertion_only", "ClassAssertion(ObjectSomeValuesFrom(:r ObjectOneOf(:b)) :a)", false, true},
        TouchCase{"property_assertion_only", "ObjectPropertyAssertion(:r :a :b)", false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CardinalityWalks, StepThroughEveryConstructorButStopAtSelfAndNominals) {
  IrFixture f;
  Role r = f.r("r");
  ConceptId key = f.A("urn:kelmon-dkey:1:2");
  DKeyMap dkeys;
  dkeys.emplace(f.cid("urn:kelmon-dkey:1:2"), DKeyValue{DKeyValue::IntRange{}});
  ConceptId deep = f.no(f.all(r, f.or_({f.A("B"), f.some(r, f.min(2, r, key))})));
  EXPECT_TRUE(mentions_key_cardinality(f.ir.concepts, deep, dkeys));
  EXPECT_FALSE(mentions_key_cardinality(f.ir.concepts, deep, DKeyMap{}));
  EXPECT_FALSE(mentions_complex_cardinality(f.ir.concepts, deep));
  ConceptId complex = f.and_({f.A("B"), f.max(3, r, f.and_({f.A("C"), f.A("D")}))});
  EXPECT_TRUE(mentions_complex_cardinality(f.ir.concepts, complex));
  EXPECT_FALSE(mentions_complex_cardinality(f.ir.concepts, f.min(1, r, f.top())));
  EXPECT_FALSE(mentions_nominal(f.ir.concepts.intern(Self{r}), f.ir.concepts));
  EXPECT_TRUE(mentions_nominal(f.max(1, r, f.nom("a")), f.ir.concepts));
}

TEST(NominalBoundsTest, LeastBoundPerClass) {
  IrFixture f;
  f.add(EquivalentClasses{{f.A("A"), f.nom("a"), f.or_({f.nom("b"), f.nom("c")})}});
  f.sub(f.A("B"), f.or_({f.nom("a"), f.nom("b"), f.nom("c")}));
  f.sub(f.A("B"), f.or_({f.nom("a"), f.nom("b")}));
  f.sub(f.A("C"), f.or_({f.nom("a"), f.A("X")}));  // not all nominals
  NominalBounds bounds = collect_nominal_bounds(f.ir);
  EXPECT_EQ(bounds.size(), 2u);
  EXPECT_EQ(bounds.at(f.cid("A")), 1u);
  EXPECT_EQ(bounds.at(f.cid("B")), 2u);
}

}  // namespace
}  // namespace kelmon::reasoner
