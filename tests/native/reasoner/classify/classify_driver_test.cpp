#include "reasoner/classify/classify_driver.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/scoped_switch.h"
#include "reasoner/classify/preamble.h"
#include "reasoner/classify/reportable_rows.h"
#include "core/convert/convert.h"
#include "owl/load.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;

TEST(PrepDeadlinePending, ConversionCountsAgainstTheLimitUnlessItUsedItUpOrTheSwitchIsOff) {
  const Instant now = Clock::now();
  EXPECT_EQ(prep_deadline_pending(now, std::chrono::seconds(60)), std::make_pair(true, false));
  EXPECT_EQ(prep_deadline_pending(now - std::chrono::seconds(2), std::chrono::seconds(1)), std::make_pair(false, true));
  ScopedSwitch off(SwitchId::PrepDeadline, "0");
  EXPECT_EQ(prep_deadline_pending(now - std::chrono::seconds(2), std::chrono::seconds(1)), std::make_pair(false, false));
}

using testing::reportable_rows;

TEST(PartialResult, IsNeverCompleteAndMarksRowZeroOnlyWhenThereAreRows) {
  sat::ElResult saturation;
  saturation.subsumers = sat::SubsumerTable(2);
  saturation.subsumers.insert(0, 0);
  saturation.subsumers.insert(0, 1);
  saturation.subsumers.insert(1, 1);
  const ReportableClasses two = reportable_rows(2);
  Classification c = trace_prep_deadline_expired(two, rows_by_iri(two), saturation, "saturate");
  EXPECT_EQ(c.stats_ref().partial_result, 1);
  EXPECT_EQ(c.stats_ref().timed_out_pairs, 1u);
  EXPECT_EQ(c.stats_ref().undecided_pairs, (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0, 0}}));
  EXPECT_TRUE(c.is_subclass("c0", "c1"));
  EXPECT_FALSE(c.complete());
  const ReportableClasses none = reportable_rows(0);
  Classification e = trace_prep_deadline_expired(none, rows_by_iri(none), saturation, "from_internal");
  EXPECT_EQ(e.stats_ref().timed_out_pairs, 1u);
  EXPECT_TRUE(e.stats_ref().undecided_pairs.empty());
}

InternalOntology convert(const char* text) {
  auto loaded = owl::parse_ontology_bytes(text, "ofn");
  return convert_ontology(loaded->axioms);
}

// Only the wedge sees the clash: a reaches F and, through the union, E.
constexpr const char* kUnionClash =
    "Prefix(:=<http://x/>)\nOntology(<http://x/o>\nSubClassOf(:A ObjectUnionOf(:C :D))\nSubClassOf(:C :E)\n"
    "SubClassOf(:D :E)\nDisjointClasses(:E :F)\nClassAssertion(:A :a)\n%s)\n";

std::string union_clash(bool clash) {
  std::string text(kUnionClash);
  text.replace(text.find("%s"), 2, clash ? "ClassAssertion(:F :a)\n" : "");
  return text;
}

TEST(PendingPrecheck, GivesTheSettledVerdictOrTheWedgeRunsOwn) {
  PendingPrecheck idle(ConsistencyVerdict::Unknown);
  EXPECT_FALSE(idle.proved_inconsistent());
  EXPECT_EQ(idle.verdict(), ConsistencyVerdict::Unknown);
  for (bool clash : {true, false}) {
    InternalOntology ir = convert(union_clash(clash).c_str());
    PendingPrecheck run(ConsistencyVerdict::Unknown);
    run.start(ir);
    const ConsistencyVerdict expected = clash ? ConsistencyVerdict::Inconsistent : ConsistencyVerdict::Consistent;
    EXPECT_EQ(run.verdict(), expected);
    EXPECT_EQ(run.verdict(), expected);  // asked again, no second wait
    EXPECT_EQ(run.proved_inconsistent(), clash);
  }
}

TEST(ClassifyMain, AClashOnlyTheWedgeSeesGivesTheInconsistentAnswerWhileTheClassificationRunsBesideIt) {
  for (bool clash : {true, false}) {
    InternalOntology ir = convert(union_clash(clash).c_str());
    auto c = classify_internal(ir, std::nullopt, std::nullopt);
    ASSERT_TRUE(c.has_value());
    EXPECT_EQ(c->stats_ref().inconsistent != 0, clash);
    EXPECT_TRUE(c->complete());
    EXPECT_TRUE(c->is_subclass("http://x/A", "http://x/E"));
    EXPECT_EQ(c->is_subclass("http://x/E", "http://x/A"), clash);
  }
}

TEST(ClassifyMain, AFragmentOntologyIsAnsweredBySaturationWithItsTimings) {
  InternalOntology ir = convert(
      "Prefix(:=<http://x/>)\nOntology(<http://x/o>\nSubClassOf(:A :B)\nSubClassOf(:B ObjectSomeValuesFrom(:r :C))\n)\n");
  auto c = classify_internal(ir, std::nullopt, std::nullopt);
  ASSERT_TRUE(c.has_value());
  EXPECT_TRUE(c->complete());
  EXPECT_TRUE(c->is_subclass("http://x/A", "http://x/B"));
  EXPECT_EQ(c->stats_ref().fragment_kind, 0);
  EXPECT_EQ(c->stats_ref().class_test_shortcut + c->stats_ref().class_test_tableau, 0u);
}

TEST(ClassifyMain, ADeadlineAlreadyPassedLeavesEveryRowUndecided) {
  InternalOntology ir = convert(
      "Prefix(:=<http://x/>)\nOntology(<http://x/o>\nSubClassOf(:A ObjectUnionOf(:C :D))\nSubClassOf(:C :B)\n"
      "SubClassOf(:D :B)\n)\n");
  ScopedSwitch prep(SwitchId::PrepDeadline, "0");  // keep the saturation whole
  auto c = classify_internal(ir, std::nullopt, Clock::now() - std::chrono::seconds(1));
  ASSERT_TRUE(c.has_value());
  EXPECT_FALSE(c->complete());
  EXPECT_GE(c->stats_ref().timed_out_pairs, c->classes().size());
  EXPECT_EQ(c->stats_ref().timed_out_pairs, c->stats_ref().undecided_pairs.size());
  EXPECT_TRUE(c->is_subclass("http://x/C", "http://x/B"));  // from saturation, never lost
}

}  // namespace
}  // namespace kelmon::reasoner
