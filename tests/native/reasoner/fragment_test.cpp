#include "reasoner/fragment.h"

#include <gtest/gtest.h>
#include "common/scoped_switch.h"

#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;

struct FragmentCase {
  const char* name;
  const char* body;  // functional-syntax axioms
  bool fragment;     // in_saturation_fragment(ir, false)
  bool horn;         // is_horn(ir, false)
  int kind;          // fragment_kind
};

class FragmentTests : public ::testing::TestWithParam<FragmentCase> {};

TEST_P(FragmentTests, ClassifyEachOntology) {
  auto ir = convert_ofn(GetParam().body);
  EXPECT_EQ(in_saturation_fragment(ir, false), GetParam().fragment);
  EXPECT_EQ(is_horn(ir, false), GetParam().horn);
  EXPECT_EQ(fragment_kind(ir), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FragmentTests,
    ::testing::Values(
        FragmentCase{"empty", "", true, true, 0},
        FragmentCase{"el", "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectIntersectionOf(:B :C))) TransitiveObjectProperty(:r)",
                     true, true, 0},
        FragmentCase{"bottom_sup", "SubClassOf(:A owl:Nothing)", true, true, 0},
        FragmentCase{"conjunction_to_bottom", "DisjointClasses(:A :B) SubClassOf(:C ObjectIntersectionOf(:A :B))", true,
                     true, 0},
        FragmentCase{"equivalent_to_bottom", "EquivalentClasses(:A owl:Nothing) SubClassOf(:B :A)", true, false, 0},
        FragmentCase{"functional", "FunctionalObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:r :B))", false,
                     true, 1},
        FragmentCase{"union", "SubClassOf(:A ObjectUnionOf(:B :C))", false, false, 2},
        FragmentCase{"inverse_some", "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:r) :B))", false, false, 1},
        FragmentCase{"assertion", "ClassAssertion(:A :a)", false, false, 1},
        FragmentCase{"bare_inverse", "InverseObjectProperties(:p :q) SubClassOf(:A :B)", true, true, 0},
        FragmentCase{"used_inverse", "InverseObjectProperties(:p :q) SubClassOf(:A ObjectSomeValuesFrom(:p :B))", false,
                     false, 1},
        FragmentCase{"disjoint_union", "DisjointUnion(:A :B :C)", false, false, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FragmentTests, ConjunctionToBottomIsNotHornWithAFunctionalRole) {
  auto plain = convert_ofn("SubClassOf(ObjectIntersectionOf(:A :B) owl:Nothing)");
  EXPECT_TRUE(is_horn(plain, false));
  auto functional = convert_ofn("SubClassOf(ObjectIntersectionOf(:A :B) owl:Nothing) FunctionalObjectProperty(:r)");
  EXPECT_FALSE(is_horn(functional, false));
}

TEST(FragmentTests, BareDeclarationSwitchOnlyZeroTurnsTheRuleOff) {
  const char* body = "InverseObjectProperties(:p :q)";
  auto ir = convert_ofn(body);
  {
    kelmon::testing::ScopedSwitch empty(SwitchId::FragmentBareDecl, "");
    EXPECT_TRUE(in_saturation_fragment(ir, false));
  }
  kelmon::testing::ScopedSwitch zero(SwitchId::FragmentBareDecl, "0");
  EXPECT_FALSE(in_saturation_fragment(ir, false));
  EXPECT_FALSE(used_roles(ir).has_value());
}

TEST(FragmentTests, UsedRolesCloseDownward) {
  auto ir = convert_ofn(
      "SubObjectPropertyOf(:s :r) EquivalentObjectProperties(:t :s) SubObjectPropertyOf(:u :v)"
      "SubClassOf(:A ObjectSomeValuesFrom(:r :B))");
  auto used = used_roles(ir);
  ASSERT_TRUE(used);
  auto id = [&](const char* n) { return kelmon::testing::role_id(ir, n).v; };
  EXPECT_TRUE(used->contains(id("r")));
  EXPECT_TRUE(used->contains(id("s")));
  EXPECT_TRUE(used->contains(id("t")));
  EXPECT_FALSE(used->contains(id("u")));
  EXPECT_FALSE(used->contains(id("v")));
}

TEST(FragmentTests, ChainsFeedingARangeAreUnsupported) {
  auto hit = convert_ofn(
      "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :s) SubObjectPropertyOf(ObjectPropertyChain(:s :t) :u)"
      "ObjectPropertyRange(:u :C)");
  EXPECT_TRUE(has_unsupported_feature(hit));
  EXPECT_FALSE(in_saturation_fragment(hit, false));
  auto miss = convert_ofn(
      "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :s) SubObjectPropertyOf(ObjectPropertyChain(:s :t) :u)"
      "ObjectPropertyRange(:w :C)");
  EXPECT_FALSE(has_unsupported_feature(miss));
}

TEST(FragmentTests, HornShortcircuitNeedsAssertionsThatStayOutOfTheTbox) {
  EXPECT_FALSE(horn_shortcircuit_applies(convert_ofn("SubClassOf(:A :B)")));
  EXPECT_TRUE(horn_shortcircuit_applies(convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)")));
  EXPECT_FALSE(horn_shortcircuit_applies(
      convert_ofn("SubClassOf(:A ObjectHasValue(:r :b)) ClassAssertion(:A :a)")));
  EXPECT_TRUE(abox_touches_tbox(convert_ofn("SubClassOf(:A ObjectHasValue(:r :b)) ClassAssertion(:A :a)")));
}

}  // namespace
}  // namespace kelmon::reasoner
