#include "reasoner/classify/eli_probe.h"

#include <gtest/gtest.h>

#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::IrFixture;

TEST(EliProbe, AnEmptyOrEliOntologyIsEligible) {
  IrFixture f;
  EXPECT_EQ(eli_report_line(f.ir), "cb-eli-eligible: true tbox_only=true feats=\n");
  f.sub(f.A("A"), f.some(f.inv("r"), f.and_({f.A("B"), f.A("C")})));
  f.add(SubObjectPropertyOf{Chain{{f.r("p"), f.r("q")}}, f.r("s")});
  f.add(TransitiveRole{f.r("p")});
  EXPECT_EQ(eli_report_line(f.ir), "cb-eli-eligible: true tbox_only=true feats=\n");
}

TEST(EliProbe, TheSubConceptIsAskedFirstAndFeaturesAreConstructorNames) {
  IrFixture f;
  f.sub(f.or_({f.A("A"), f.A("B")}), f.all(f.r("r"), f.A("C")));
  EXPECT_EQ(first_non_eli_axiom(f.ir), "SubClassOf[Or]");
  EXPECT_EQ(eli_report_line(f.ir), "cb-eli-eligible: false blocker=SubClassOf[Or] tbox_only=false feats=All,Or\n");
}

TEST(EliProbe, NegationUnderAnExistentialAndLongChains) {
  IrFixture f;
  f.sub(f.A("A"), f.some(f.r("r"), f.no(f.A("B"))));
  EXPECT_EQ(first_non_eli_axiom(f.ir), "SubClassOf[Not]");
  IrFixture g;
  g.add(SubObjectPropertyOf{Chain{{g.r("p"), g.r("q"), g.r("t")}}, g.r("s")});
  EXPECT_EQ(eli_report_line(g.ir),
            "cb-eli-eligible: false blocker=SubObjectPropertyOf tbox_only=false feats=SubObjectPropertyOf\n");
}

TEST(EliProbe, AssertionsBlockButLeaveTheTboxOnlyFlagAndDeclarationsShowAsOther) {
  IrFixture f;
  f.sub(f.A("A"), f.A("B"));
  f.add(ClassAssertion{f.A("A"), f.ind("a")});
  EXPECT_EQ(eli_report_line(f.ir),
            "cb-eli-eligible: false blocker=ClassAssertion tbox_only=true feats=ClassAssertion\n");
  IrFixture g;
  g.add(DeclareNamedIndividual{g.ind("a")});
  EXPECT_EQ(eli_report_line(g.ir),
            "cb-eli-eligible: false blocker=DeclareNamedIndividual tbox_only=false feats=Other\n");
}

TEST(EliProbe, DataValueKeysAreNamedDKey) {
  IrFixture f;
  f.sub(f.A("A"), f.some(f.r("age"), f.A("urn:kelmon-dkey:0:5")));
  EXPECT_EQ(first_non_eli_axiom(f.ir), "SubClassOf[DKey]");
  EXPECT_EQ(eli_feature_set(f.ir), (std::set<std::string>{"DKey"}));
}

}  // namespace
}  // namespace kelmon::reasoner
