#include "reasoner/classify/class_unsat_test.h"

#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "core/convert/convert.h"
#include "owl/load.h"
#include "saturation/proof_store.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::ScopedSwitch;

// Rows: 0 A ⊑ B, 1 B, 2 U ⊑ ⊥ (saturation knows), 3 V ⊑ ∃r.C ⊓ ∀r.D with C, D disjoint (only the tableau knows).
struct Fixture {
  InternalOntology ir;
  sat::ElResult saturation;
  ReportableClasses reportable;
  std::unique_ptr<PreparedReasoner> prepared;

  Fixture() {
    auto loaded = owl::parse_ontology_bytes(
        "Prefix(:=<http://x/>)\nOntology(<http://x/o>\nDeclaration(Class(:A))\nDeclaration(Class(:B))\n"
        "Declaration(Class(:U))\nDeclaration(Class(:V))\nSubClassOf(:A :B)\nSubClassOf(:U owl:Nothing)\n"
        "SubClassOf(:V ObjectSomeValuesFrom(:r :C))\nSubClassOf(:V ObjectAllValuesFrom(:r :D))\n"
        "DisjointClasses(:C :D))\n",
        "ofn");
    ir = convert_ontology(loaded->axioms);
    saturation = sat::el_saturate(ir, false).first;
    reportable = reportable_classes(ir.vocabulary.classes);
    prepared = *prepare_without_deadline(ir, std::nullopt);
  }

  ClassTestResult test(std::uint64_t row, const std::vector<ClassLabel>& labels) {
    return class_unsat_test(row, ClassTestEnv{reportable, saturation, labels, *prepared, std::nullopt, std::nullopt});
  }
};

std::vector<ClassLabel> all(ClassLabel label) { return std::vector<ClassLabel>(5, label); }

TEST(ClassUnsatTest, SaturationDecidesFirstWhateverTheLabelSays) {
  Fixture x;
  auto r = x.test(2, all(LabelSat{}));
  EXPECT_EQ(r.verdict, ClassVerdict::Unsatisfiable);
  EXPECT_TRUE(r.shortcut);
}

TEST(ClassUnsatTest, AnUnsatLabelIsTakenUnlessLabelsAreOff) {
  Fixture x;
  ScopedSwitch complex(SwitchId::ComplexQualifierVerify, "1");
  auto r = x.test(0, all(LabelUnsat{}));
  EXPECT_EQ(r.verdict, ClassVerdict::Unsatisfiable);
  EXPECT_TRUE(r.shortcut);
  ScopedSwitch off(SwitchId::UnsatViaLabels, "0");
  r = x.test(0, all(LabelUnsat{}));
  EXPECT_EQ(r.verdict, ClassVerdict::Satisfiable);
  EXPECT_FALSE(r.shortcut);
}

TEST(ClassUnsatTest, NoVerdictLabelsGoToTheTableau) {
  Fixture x;
  auto v = x.test(3, all(LabelNoVerdict{}));
  EXPECT_EQ(v.verdict, ClassVerdict::Unsatisfiable);
  EXPECT_FALSE(v.shortcut);
  auto a = x.test(0, {});
  EXPECT_EQ(a.verdict, ClassVerdict::Satisfiable);
  EXPECT_FALSE(a.shortcut);
}

TEST(ClassUnsatTest, ASatLabelNearKeyCardinalityIsAlwaysTested) {
  Fixture x;
  EXPECT_TRUE(x.test(3, all(LabelSat{})).shortcut);  // trusted: the label was wrong, and nothing checks it
  x.prepared->key_card_classes.insert(x.reportable.ids[3]);
  ScopedSwitch nominal(SwitchId::NominalCountingVerify, "0");
  ScopedSwitch complex(SwitchId::ComplexQualifierVerify, "0");
  auto r = x.test(3, all(LabelSat{}));
  EXPECT_EQ(r.verdict, ClassVerdict::Unsatisfiable);
  EXPECT_FALSE(r.shortcut);
  // A: its saturation row holds B; B in the set relates A too.
  x.prepared->key_card_classes = {x.reportable.ids[1]};
  ASSERT_TRUE(x.saturation.subsumers.contains(x.reportable.ids[0].v, x.reportable.ids[1].v));
  EXPECT_FALSE(x.test(0, all(LabelSat{})).shortcut);
}

TEST(ClassUnsatTest, ATestCutShortDecidesNothing) {
  Fixture x;
  const Deadline past = Clock::now() - std::chrono::seconds(1);
  auto r = class_unsat_test(3, ClassTestEnv{x.reportable, x.saturation, {}, *x.prepared, past, std::nullopt});
  EXPECT_EQ(r.verdict, ClassVerdict::Undecided);
}

}  // namespace
}  // namespace kelmon::reasoner
