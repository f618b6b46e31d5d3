#include "reasoner/classify/class_label.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"
#include "reasoner/classify/kernel_routes.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::class_id;
using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

constexpr const char* kDefinition =
    "EquivalentClasses(:D ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C))) "
    "SubClassOf(:A :B) SubClassOf(:A ObjectSomeValuesFrom(:s :C)) SubObjectPropertyOf(:s :r) "
    "SubClassOf(:V ObjectSomeValuesFrom(:r :C)) SubClassOf(:V ObjectAllValuesFrom(:r :E)) DisjointClasses(:C :E)";
// D's definition holds in the model that picks B, but A ⊑ D is not entailed.
constexpr const char* kBranching =
    "EquivalentClasses(:D ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C))) "
    "SubClassOf(:A ObjectUnionOf(:B :F)) SubClassOf(:A ObjectSomeValuesFrom(:r :C))";

struct Labelled {
  InternalOntology ir;
  std::unique_ptr<PreparedReasoner> prepared;

  explicit Labelled(const char* body) : ir(convert_ofn(body)) { prepared = *prepare_without_deadline(ir, std::nullopt); }
  ClassId id(const char* name) const { return class_id(ir, name); }
  ClassLabel label(const char* name) const { return compute_class_label(*prepared, id(name), std::nullopt); }
};

std::vector<std::uint32_t> sorted_label(const ClassLabel& label) {
  const auto& set = std::get<LabelSat>(label).label;
  std::vector<std::uint32_t> out(set.begin(), set.end());
  std::sort(out.begin(), out.end());
  return out;
}

struct ModeCase {
  const char* name;
  std::optional<std::string> amortize;
  std::optional<std::string> seed;
};

class LabelModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(LabelModes, LabelsHoldTheEntailedClassesAndTheProbe) {
  ScopedSwitch amortize(SwitchId::ClassifyLabelsAmortize, GetParam().amortize);
  ScopedSwitch seed(SwitchId::SatSeed, GetParam().seed);
  Labelled x(kDefinition);
  const ClassLabel a = x.label("A");
  ASSERT_TRUE(std::holds_alternative<LabelSat>(a)) << label_name(a);
  const auto& set = std::get<LabelSat>(a).label;
  for (const char* c : {"A", "B", "D"}) EXPECT_TRUE(set.contains(x.id(c).v)) << c;
  EXPECT_FALSE(set.contains(x.id("C").v));
  EXPECT_TRUE(set.contains(x.prepared->hyper_set()->probe_id));
  EXPECT_EQ(std::get<LabelSat>(a).backfold, std::vector<std::uint32_t>{x.id("D").v});
  EXPECT_TRUE(std::holds_alternative<LabelUnsat>(x.label("V")));
}

INSTANTIATE_TEST_SUITE_P(Table, LabelModes,
                         ::testing::Values(ModeCase{"engaged", std::nullopt, std::nullopt},
                                           ModeCase{"engaged_empty_value", "", std::nullopt},
                                           ModeCase{"full_rebuild", "0", std::nullopt},
                                           ModeCase{"full_rebuild_shared_index", "0", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClassLabel, FullRebuildAndEngagedGiveTheSameLabel) {
  Labelled x(kDefinition);
  for (const char* c : {"A", "B", "C", "D"}) {
    const ClassLabel engaged = x.label(c);
    ScopedSwitch full(SwitchId::ClassifyLabelsAmortize, "0");
    ScopedSwitch seed(SwitchId::SatSeed, "0");
    Labelled y(kDefinition);
    EXPECT_EQ(sorted_label(engaged), sorted_label(y.label(c))) << c;
  }
}

TEST(ClassLabel, BackfoldIsEmptyWhenSwitchedOffOrWhenTheRunBranched) {
  {
    ScopedSwitch off(SwitchId::ClassifyBackfold, "0");
    Labelled x(kDefinition);
    EXPECT_TRUE(std::get<LabelSat>(x.label("A")).backfold.empty());
  }
  Labelled x(kBranching);
  const ClassLabel a = x.label("A");
  ASSERT_TRUE(std::holds_alternative<LabelSat>(a));
  EXPECT_TRUE(std::get<LabelSat>(a).backfold.empty());
}

struct EntailedCase {
  const char* name;
  const char* ontology;
  bool entailed;                     // the run never branched
  std::vector<const char*> proven;   // in the label and proved by it
  std::vector<const char*> guessed;  // at most one of these is in the label, and not proved by it
};

class LabelEntailment : public ::testing::TestWithParam<EntailedCase> {};

TEST_P(LabelEntailment, ALabelProvesOnlyWhatRestsOnNoChoice) {
  const EntailedCase& c = GetParam();
  Labelled x(c.ontology);
  const ClassLabel a = x.label("A");
  ASSERT_TRUE(std::holds_alternative<LabelSat>(a)) << label_name(a);
  const LabelSat& sat = std::get<LabelSat>(a);
  EXPECT_EQ(sat.entailed, c.entailed);
  for (const char* name : c.proven) {
    EXPECT_TRUE(sat.label.contains(x.id(name).v)) << name;
    EXPECT_TRUE(label_entails(a, x.id(name).v)) << name;
  }
  int guessed_in_label = 0;
  for (const char* name : c.guessed) {
    guessed_in_label += sat.label.contains(x.id(name).v) ? 1 : 0;
    EXPECT_FALSE(label_entails(a, x.id(name).v)) << name;
  }
  EXPECT_EQ(guessed_in_label, c.guessed.empty() ? 0 : 1);
  EXPECT_FALSE(label_entails(a, x.id("C").v));
  EXPECT_FALSE(label_entails(LabelUnsat{}, x.id("A").v));
  EXPECT_FALSE(label_entails(LabelNoVerdict{}, x.id("A").v));
}

// forced_merge: the two r-successors must be merged (r is functional), one way only, so no branch.
// choice_below: the branch is taken at the successor; the root's K comes back over the inverse edge
// only in the model that picks B there.
INSTANTIATE_TEST_SUITE_P(
    Table, LabelEntailment,
    ::testing::Values(EntailedCase{"definition", kDefinition, true, {"A", "B", "D"}, {}},
                      EntailedCase{"disjunction", kBranching, false, {"A"}, {"B", "F"}},
                      EntailedCase{"forced_merge",
                                   "FunctionalObjectProperty(:r) SubClassOf(:A ObjectSomeValuesFrom(:r :B)) "
                                   "SubClassOf(:A ObjectSomeValuesFrom(:r :E)) "
                                   "EquivalentClasses(:D ObjectSomeValuesFrom(:r ObjectIntersectionOf(:B :E))) "
                                   "Declaration(Class(:C))",
                                   true,
                                   {"A", "D"},
                                   {}},
                      EntailedCase{"choice_below",
                                   "SubClassOf(:A :G) SubClassOf(:A ObjectSomeValuesFrom(:r :E)) "
                                   "SubClassOf(:E ObjectUnionOf(:B :F)) "
                                   "SubClassOf(:B ObjectAllValuesFrom(ObjectInverseOf(:r) :K)) "
                                   "SubClassOf(:F ObjectAllValuesFrom(ObjectInverseOf(:r) :L)) "
                                   "Declaration(Class(:C))",
                                   false,
                                   {"A", "G"},
                                   {"K", "L"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassLabel, ARunCutByItsDeadlineSaysSo) {
  Labelled x(kDefinition);
  const ClassLabel cut = compute_class_label(*x.prepared, x.id("A"), Clock::now() - std::chrono::seconds(1));
  ASSERT_TRUE(std::holds_alternative<LabelNoVerdict>(cut)) << label_name(cut);
  EXPECT_TRUE(std::get<LabelNoVerdict>(cut).out_of_time);
}

TEST(ClassLabel, NoClauseSetMeansNoVerdict) {
  ScopedSwitch off(SwitchId::Hypertableau, "0");
  Labelled x(kDefinition);
  EXPECT_EQ(x.prepared->hyper_set(), nullptr);
  EXPECT_TRUE(std::holds_alternative<LabelNoVerdict>(x.label("A")));
  EXPECT_FALSE(std::get<LabelNoVerdict>(x.label("A")).out_of_time);
  EXPECT_TRUE(std::holds_alternative<LabelNoVerdict>(x.label("V")));
}

TEST(ClassLabel, AModelOfInexactClausesIsNoVerdictButAClosedRunStillCounts) {
  // A number restriction over a data-value key: the clauses leave it out.
  Labelled x(
      "SubClassOf(:A DataMaxCardinality(1 :d xsd:integer)) SubClassOf(:V ObjectSomeValuesFrom(:r :C)) "
      "SubClassOf(:V ObjectAllValuesFrom(:r :E)) DisjointClasses(:C :E)");
  ASSERT_FALSE(x.prepared->hyper_set()->sat_exact);
  EXPECT_TRUE(std::holds_alternative<LabelNoVerdict>(x.label("A")));
  EXPECT_TRUE(std::holds_alternative<LabelUnsat>(x.label("V")));
  // A hypertableau model of such clauses is no answer for a pair either.
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("A"), x.id("C"), std::nullopt), 3);
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("V"), x.id("A"), std::nullopt), 0);
}

TEST(ClassLabel, NodesOfOneNominalAreOneElement) {
  // A's r- and s-successors are both the individual a, so a is B and A ⊑ D.
  ScopedSwitch seed(SwitchId::SatSeed, "0");
  Labelled x(
      "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:a))) "
      "SubClassOf(:A ObjectSomeValuesFrom(:s ObjectIntersectionOf(ObjectOneOf(:a) :B))) "
      "EquivalentClasses(:D ObjectSomeValuesFrom(:r :B)) Declaration(Class(:F))");
  ASSERT_TRUE(x.prepared->hyper_set()->sat_exact);
  const ClassLabel a = x.label("A");
  ASSERT_TRUE(std::holds_alternative<LabelSat>(a)) << label_name(a);
  EXPECT_TRUE(std::get<LabelSat>(a).label.contains(x.id("D").v));
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("A"), x.id("D"), std::nullopt), 0);
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("A"), x.id("F"), std::nullopt), 1);
}

TEST(ClassLabel, PairVerdictsOfExactClauses) {
  Labelled x(kDefinition);
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("A"), x.id("D"), std::nullopt), 0);
  EXPECT_EQ(hyper_pair_verdict(*x.prepared, x.id("B"), x.id("D"), std::nullopt), 1);
}

TEST(ClassLabel, ModeLinesArePrintedOncePerProcess) {
  ScopedSwitch mark(SwitchId::LabelAmortizeMark, "1");
  Labelled x(kDefinition);
  ::testing::internal::CaptureStderr();
  x.label("A");
  x.label("B");
  {
    ScopedSwitch full(SwitchId::ClassifyLabelsAmortize, "0");
    x.label("A");
    x.label("B");
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "# label-amortize: engaged (per-class ClauseIndexes delta)\n"
            "# label-amortize: full-rebuild (per-class HyperEngine::new)\n");
}

}  // namespace
}  // namespace kelmon::reasoner
