// The searches, the module, conversion and the oracle together on a small EL
// fixture, with saturation standing in for the kernel (exact on EL).
#include <gtest/gtest.h>

#include "explain_support.h"
#include "owl/functional_writer.h"
#include "owl/load.h"
#include "reasoner/explanation/diagnosis.h"
#include "reasoner/explanation/oracle_mode.h"
#include "reasoner/explanation/prepared_ontology.h"
#include "reasoner/explanation/repairs.h"
#include "reasoner/explanation/subset_ontology.h"
#include "reasoner/explanation/subset_oracle.h"
#include "test_kernel.h"

namespace kelmon::explain {
namespace {

using testing::axioms;
using testing::iri;
using testing::ScopedSwitch;
using testing::TestKernel;

struct Fixture : ::testing::Test {
  void SetUp() override {
    auto loaded = owl::load_ontology(std::string(KELMON_TEST_DATA_DIR) + "/explain_unsat.ofn");
    ASSERT_TRUE(loaded.has_value());
    axiom_set = std::move(loaded->axioms);
    prepared = PreparedOntology::prepare(axiom_set);
  }

  // Each proper subset of the justification no longer entails the query.
  void expect_minimal(const std::vector<owl::Axiom>& j, const JustifyQuery& query) {
    const auto background = search_background(prepared.non_logical, prepared.logical, query);
    EXPECT_EQ(oracle.entails(build_subset_ontology(background, j), query), Result<bool>(true));
    for (std::size_t drop = 0; drop < j.size(); ++drop) {
      std::vector<owl::Axiom> rest = j;
      rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(drop));
      EXPECT_EQ(oracle.entails(build_subset_ontology(background, rest), query), Result<bool>(false)) << drop;
    }
  }

  void expect_axioms(const std::vector<owl::Axiom>& got, const std::vector<std::string>& want) {
    const auto expected = axioms(want);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(owl::structurally_equal(got[i], expected[i])) << i << ": " << owl::write_functional_axiom(got[i]);
  }

  owl::AxiomSet axiom_set;
  PreparedOntology prepared;
  TestKernel kernel;
  SubsetOracle oracle{kernel};
};

TEST_F(Fixture, EveryJustificationOfAnUnsatisfiableClassIsMinimal) {
  const JustifyQuery ham{QueryKind::Unsat, {iri("Ham")}};
  auto all = prepared.find_all_justifications(oracle, ham, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  for (const auto& [j, kind] : *all) {
    expect_minimal(j, ham);
    EXPECT_EQ(kind, prepared.fragment_kind);
  }
  expect_axioms((*all)[0].first, {"SubClassOf(:Ham :Meat)", "SubClassOf(:VegetarianTopping :Vegetable)",
                                  "SubClassOf(:Ham :VegetarianTopping)", "DisjointClasses(:Meat :Vegetable)"});
  expect_axioms((*all)[1].first,
                {"SubClassOf(:Ham :HamTopping)", "SubClassOf(:HamTopping :Meat)",
                 "SubClassOf(:VegetarianTopping :Vegetable)", "SubClassOf(:Ham :VegetarianTopping)",
                 "DisjointClasses(:Meat :Vegetable)"});
  auto one = find_justification(oracle, prepared.non_logical, prepared.logical, ham);
  ASSERT_TRUE(one.has_value() && one->has_value());
  expect_axioms(**one, {"SubClassOf(:Ham :Meat)", "SubClassOf(:VegetarianTopping :Vegetable)",
                        "SubClassOf(:Ham :VegetarianTopping)", "DisjointClasses(:Meat :Vegetable)"});
}

TEST_F(Fixture, DerivedClassJustificationReachesThroughTheExistential) {
  const JustifyQuery odd{QueryKind::Unsat, {iri("OddPizza")}};
  auto all = prepared.find_all_justifications(oracle, odd, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  for (const auto& [j, kind] : *all) expect_minimal(j, odd);
  auto none = prepared.find_all_justifications(oracle, JustifyQuery{QueryKind::Unsat, {iri("VegetarianPizza")}}, 10);
  ASSERT_TRUE(none.has_value());
  EXPECT_TRUE(none->empty());
}

TEST_F(Fixture, RepairsCutEveryJustification) {
  const JustifyQuery ham{QueryKind::Unsat, {iri("Ham")}};
  auto repairs = find_repairs(oracle, prepared, ham, 10);
  ASSERT_TRUE(repairs.has_value());
  ASSERT_EQ(repairs->repairs.size(), 5u);
  expect_axioms(repairs->repairs[0], {"SubClassOf(:VegetarianTopping :Vegetable)"});
  expect_axioms(repairs->repairs[1], {"SubClassOf(:Ham :VegetarianTopping)"});
  expect_axioms(repairs->repairs[2], {"DisjointClasses(:Meat :Vegetable)"});
  expect_axioms(repairs->repairs[3], {"SubClassOf(:Ham :HamTopping)", "SubClassOf(:Ham :Meat)"});
  expect_axioms(repairs->repairs[4], {"SubClassOf(:Ham :Meat)", "SubClassOf(:HamTopping :Meat)"});
  EXPECT_EQ(repairs->rejected, 0u);
}

TEST_F(Fixture, DiagnosisSplitsRootsFromDerivedClasses) {
  auto partition = diagnose(axiom_set, kernel);
  ASSERT_TRUE(partition.has_value());
  EXPECT_TRUE(partition->consistent);
  EXPECT_EQ(partition->roots, (std::vector<std::string>{iri("Ham"), iri("Impossible")}));
  using Derived = std::vector<std::pair<std::string, std::vector<std::string>>>;
  EXPECT_EQ(partition->derived, (Derived{{iri("AlsoImpossible"), {iri("Impossible")}},
                                         {iri("OddPizza"), {iri("Ham")}}}));
}

TEST_F(Fixture, SubclassOfUndeclaredClassesIsJustified) {
  const JustifyQuery q{QueryKind::Subclass, {iri("Ham"), iri("Vegetable")}};
  auto j = find_justification(oracle, prepared.non_logical, prepared.logical, q);
  ASSERT_TRUE(j.has_value()) << reasoner_error_message(j.error());
  ASSERT_TRUE(j->has_value());
  expect_minimal(**j, q);
  auto unknown = find_justification(oracle, prepared.non_logical, prepared.logical,
                                    JustifyQuery{QueryKind::Subclass, {iri("Ham"), iri("Nowhere")}});
  ASSERT_FALSE(unknown.has_value());
  EXPECT_EQ(unknown.error(), ReasonerError(UnknownClass{iri("Nowhere")}));
}

TEST_F(Fixture, InconsistencyIsJustifiedBySaturationAloneWhenSaturationSeesIt) {
  ScopedSwitch sat{SwitchId::JustifySatOracle, std::nullopt};
  std::vector<owl::Axiom> logical = prepared.logical;
  logical.push_back(testing::axiom("ClassAssertion(:Impossible :i)"));
  const JustifyQuery inconsistent{QueryKind::Inconsistent, {}};
  auto all = find_all_justifications(oracle, prepared.non_logical, logical, inconsistent, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 1u);
  expect_axioms((*all)[0], {"EquivalentClasses(:Impossible ObjectIntersectionOf(:Meat :Vegetable))",
                            "DisjointClasses(:Meat :Vegetable)", "ClassAssertion(:Impossible :i)"});
  EXPECT_EQ(kernel.count("check_consistency"), 0u);
  EXPECT_GT(kernel.count("abox_saturation_inconsistent"), 1u);
  EXPECT_EQ(saturation_oracle_mode(), 0);
}

}  // namespace
}  // namespace kelmon::explain
