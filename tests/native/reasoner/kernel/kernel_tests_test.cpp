#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/subsumption.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

constexpr const char* kX = "http://x/";

std::string iri(const char* local) { return std::string(kX) + local; }

struct Expect {
  bool answer;
  bool by_saturation;
  bool fragment;
};

void check(const Result<KernelAnswer>& r, Expect e) {
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->answer, e.answer);
  EXPECT_EQ(r->answered_by_saturation, e.by_saturation);
  EXPECT_EQ(r->fragment_complete, e.fragment);
  EXPECT_TRUE(r->decided);
}

TEST(EntailsSubclass, SameClassAnswersWithoutReasoningEvenWhenUnsatisfiable) {
  check(entails_subclass(convert_ofn("SubClassOf(:A owl:Nothing)"), iri("A"), iri("A")), {true, true, true});
}

TEST(EntailsSubclass, SaturationAnswersInsideTheFragment) {
  check(entails_subclass(convert_ofn("SubClassOf(:A :B) Declaration(Class(:C))"), iri("A"), iri("B")),
        {true, true, true});
  check(entails_subclass(convert_ofn("SubClassOf(:A :B) Declaration(Class(:C))"), iri("A"), iri("C")),
        {false, true, true});
  check(entails_subclass(convert_ofn("SubClassOf(:A owl:Nothing) Declaration(Class(:C))"), iri("A"), iri("C")),
        {true, true, true});
}

TEST(EntailsSubclass, OutsideTheFragmentTheEnginesDecide) {
  // ⊤ ⊑ B ⊔ C and A ⊓ C ⊑ ⊥ give A ⊑ B: a case analysis saturation cannot make.
  const char* body = "SubClassOf(ObjectComplementOf(:B) :C) DisjointClasses(:A :C) Declaration(Class(:E))";
  check(entails_subclass(convert_ofn(body), iri("A"), iri("B")), {true, false, false});
  check(entails_subclass(convert_ofn(body), iri("A"), iri("E")), {false, false, false});
  ScopedSwitch off(SwitchId::Hypertableau, "0");
  check(entails_subclass(convert_ofn(body), iri("A"), iri("B")), {true, false, false});
}

TEST(EntailsSubclass, UnknownNamesAreReportedSubFirst) {
  auto r = entails_subclass(convert_ofn("SubClassOf(:A :B)"), iri("X"), iri("Y"));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), ReasonerError{UnknownClass{iri("X")}});
  r = entails_subclass(convert_ofn("SubClassOf(:A :B)"), iri("A"), iri("Y"));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), ReasonerError{UnknownClass{iri("Y")}});
}

TEST(IsSatisfiable, SaturationThenTableau) {
  check(is_satisfiable(convert_ofn("SubClassOf(:A owl:Nothing)"), iri("A")), {false, true, true});
  check(is_satisfiable(convert_ofn("SubClassOf(:A :B)"), iri("A")), {true, true, true});
  check(is_satisfiable(convert_ofn("SubClassOf(:A ObjectUnionOf(:B :C))"), iri("A")), {true, false, false});
  const char* no_model = "SubClassOf(ObjectComplementOf(:B) :C) DisjointClasses(:A :C) DisjointClasses(:A :B)";
  check(is_satisfiable(convert_ofn(no_model), iri("A")), {false, false, false});
}

TEST(CheckConsistency, EachEngineAnswersItsShareWithItsFlags) {
  // ABox saturation finds the clash.
  check(check_consistency(convert_ofn("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)")),
        {false, true, false});
  // No assertion: the tableau alone.
  check(check_consistency(convert_ofn("SubClassOf(owl:Thing owl:Nothing)")), {false, false, false});
  check(check_consistency(convert_ofn("SubClassOf(:A :B)")), {true, false, false});
  // The wedge needs the mended clause set to see this one.
  check(check_consistency(convert_ofn("AsymmetricObjectProperty(:R) ObjectPropertyAssertion(:R :a :a)")),
        {false, false, false});
}

TEST(CheckConsistency, TraceLinesNameTheDecidingStep) {
  ScopedSwitch trace(SwitchId::Trace, "0");  // any value, "0" included
  ::testing::internal::CaptureStderr();
  check(check_consistency(convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)")), {true, false, false});
  // Preparation builds the hypertableau clause set, which traces its value-type pairs.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "VALUE_TYPE_DISJOINT: 0 pairs from 0 functional roles\n"
            "consistency: wedge Sat — consistent (trusted)\n");
}

TEST(CheckConsistency, AnInexactWedgeModelGoesOnToTheTableau) {
  ScopedSwitch trace(SwitchId::Trace, "yes");
  ::testing::internal::CaptureStderr();
  check(check_consistency(convert_ofn("SubClassOf(:A DataMinCardinality(2 :d xsd:integer)) ClassAssertion(:A :a)")),
        {true, false, false});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "VALUE_TYPE_DISJOINT: 0 pairs from 0 functional roles\n"
            "consistency: wedge Sat from an inexact clause set — bounded tableau fall-through\n");
}

struct BudgetCase {
  const char* value;  // nullptr: unset
  std::uint64_t fallback;
  std::optional<std::uint64_t> inconsistency;
};

class Budgets : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(Budgets, ReadTheirSwitchesWithDefaults) {
  std::optional<std::string> v;
  if (GetParam().value) v = GetParam().value;
  ScopedSwitch a(SwitchId::ConsistencyFallbackMs, v);
  ScopedSwitch b(SwitchId::ClassifyInconsistencyMs, v);
  EXPECT_EQ(consistency_fallback_ms(), GetParam().fallback);
  EXPECT_EQ(inconsistency_budget_ms(), GetParam().inconsistency);
}

INSTANTIATE_TEST_SUITE_P(Cases, Budgets,
                         ::testing::Values(BudgetCase{nullptr, 10000, std::nullopt}, BudgetCase{"+500", 500, 500},
                                           BudgetCase{"abc", 10000, std::nullopt}, BudgetCase{"", 10000, std::nullopt},
                                           BudgetCase{"+", 10000, std::nullopt}, BudgetCase{"0", 0, 0}));

TEST(Precheck, FlagsAndAboxSaturationProveInconsistency) {
  EXPECT_TRUE(wedge_inconsistency_precheck(convert_ofn("SubClassOf(:A :B)"), true, false));
  EXPECT_FALSE(wedge_inconsistency_precheck(convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)"), false, false));
  EXPECT_TRUE(wedge_inconsistency_precheck(
      convert_ofn("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)"), false, false));
  const char* wedge_only = "IrreflexiveObjectProperty(:R) ClassAssertion(ObjectHasSelf(:R) :a)";
  EXPECT_TRUE(wedge_inconsistency_precheck(convert_ofn(wedge_only), false, false));
  ScopedSwitch off(SwitchId::ClassifyWedgeInconsistency, "0");
  EXPECT_FALSE(wedge_inconsistency_precheck(convert_ofn(wedge_only), false, false));
}

}  // namespace
}  // namespace kelmon::reasoner
