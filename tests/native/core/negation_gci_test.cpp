#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/scoped_switch.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using kelmon::testing::ScopedSwitch;
using testing::IrFixture;
using testing::render;

std::vector<std::string> all_axioms(const IrFixture& f) {
  std::vector<std::string> out;
  for (const Axiom& a : f.ir.axioms) out.push_back(render(f.ir, a));
  return out;
}

struct SwitchCase {
  std::optional<std::string> value;
  bool runs;
};

class NegationSwitchTest : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(NegationSwitchTest, OnlyExactZeroTurnsItOff) {
  ScopedSwitch env(SwitchId::NegToBotGci, GetParam().value);
  IrFixture f;
  f.sub(f.A("A"), f.no(f.A("B")));
  std::uint64_t count = negation_to_bottom_gcis(f.ir);
  if (GetParam().runs) {
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(all_axioms(f), std::vector<std::string>{"SubClassOf(And(A B) Bottom)"}) << "in place, nothing appended";
  } else {
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(all_axioms(f), std::vector<std::string>{"SubClassOf(A Not(B))"});
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, NegationSwitchTest,
                         ::testing::Values(SwitchCase{std::nullopt, true}, SwitchCase{"0", false},
                                           SwitchCase{"00", true}, SwitchCase{"false", true}, SwitchCase{"", true}));

TEST(NegationToBottom, ConjunctionFirstNegationInPlaceRestAppended) {
  ScopedSwitch env(SwitchId::NegToBotGci, std::nullopt);
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C"), d = f.A("D");
  ConceptId e = f.A("E");
  ConceptId nc = f.no(c), nd = f.no(d);  // Not C stored before Not D
  f.sub(a, f.and_({b, nd, nc}));
  f.sub(e, b);
  f.sub(a, f.and_({b, c}));
  f.sub(a, f.some(f.r("r"), f.no(b)));
  EXPECT_EQ(negation_to_bottom_gcis(f.ir), 1u);
  EXPECT_EQ(all_axioms(f), (std::vector<std::string>{"SubClassOf(And(A C) Bottom)", "SubClassOf(E B)",
                                                     "SubClassOf(A And(B C))",
                                                     "SubClassOf(A Some(r Not(B)))", "SubClassOf(And(A D) Bottom)",
                                                     "SubClassOf(A B)"}));
}

TEST(NegationToBottom, ComplexOperandsAndTopSubclass) {
  ScopedSwitch env(SwitchId::NegToBotGci, std::nullopt);
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B");
  ConceptId u = f.or_({a, b});
  f.sub(f.top(), f.no(u));
  f.sub(a, f.no(a));
  f.sub(a, f.no(f.and_({a, b})));
  EXPECT_EQ(negation_to_bottom_gcis(f.ir), 3u);
  EXPECT_EQ(all_axioms(f), (std::vector<std::string>{"SubClassOf(Or(A B) Bottom)", "SubClassOf(A Bottom)",
                                                     "SubClassOf(And(A B) Bottom)"}));
}

TEST(NegationToBottom, OnlyAxiomsPresentAtTheStartAreVisited) {
  ScopedSwitch env(SwitchId::NegToBotGci, std::nullopt);
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
  // The appended rest SubClassOf(A, Not-free) is not looked at again; a rest
  // member can never be a negation, so a second run changes nothing.
  f.sub(a, f.and_({f.no(b), f.no(c), f.some(f.r("r"), b)}));
  EXPECT_EQ(negation_to_bottom_gcis(f.ir), 1u);
  auto once = all_axioms(f);
  EXPECT_EQ(negation_to_bottom_gcis(f.ir), 0u);
  EXPECT_EQ(all_axioms(f), once);
  EXPECT_EQ(once.size(), 3u);
}

class FunctionalTest : public ::testing::Test {
 protected:
  ScopedSwitch max_env{SwitchId::InverseFuncMax, std::nullopt};
  IrFixture f;
  std::vector<std::string> gcis(std::size_t before) {
    std::vector<std::string> out;
    for (std::size_t i = before; i < f.ir.axioms.size(); ++i) out.push_back(render(f.ir, f.ir.axioms[i]));
    return out;
  }
  std::vector<std::string> run() {
    std::size_t before = f.ir.axioms.size();
    add_functional_role_gcis(f.ir);
    return gcis(before);
  }
};

TEST_F(FunctionalTest, OneGciPerRoleSortedByIdThenFlag) {
  Role s = f.r("s"), r = f.r("r");
  f.add(FunctionalRole{r});
  f.add(FunctionalRole{s});
  f.add(FunctionalRole{r});
  f.add(FunctionalRole{inverse_role(s)});
  EXPECT_EQ(run(), (std::vector<std::string>{"SubClassOf(Some(s Top) Max(1 s Top))",
                                             "SubClassOf(Some(inv(s) Top) Max(1 inv(s) Top))",
                                             "SubClassOf(Some(r Top) Max(1 r Top))"}));
  EXPECT_EQ(f.ir.axioms.size(), 7u) << "the role axioms stay";
}

TEST_F(FunctionalTest, QualifyingInverseFunctionalMergesWithFunctionalOfItsInverse) {
  Role r = f.r("r");
  f.add(FunctionalRole{inverse_role(r)});
  f.add(InverseFunctionalRole{r});
  f.add(ObjectPropertyAssertion{r, f.ind("a"), f.ind("b")});
  EXPECT_EQ(run(), std::vector<std::string>{"SubClassOf(Some(inv(r) Top) Max(1 inv(r) Top))"});
}

struct InverseFunctionalCase {
  const char* name;
  void (*build)(IrFixture&, Role r);
  bool gci;
};

class InverseFunctionalTest : public ::testing::TestWithParam<InverseFunctionalCase> {};

TEST_P(InverseFunctionalTest, Heuristic) {
  ScopedSwitch max_env(SwitchId::InverseFuncMax, std::nullopt);
  IrFixture f;
  Role r = f.r("r");
  f.add(InverseFunctionalRole{r});
  GetParam().build(f, r);
  std::size_t before = f.ir.axioms.size();
  add_functional_role_gcis(f.ir);
  std::vector<std::string> got;
  for (std::size_t i = before; i < f.ir.axioms.size(); ++i) got.push_back(render(f.ir, f.ir.axioms[i]));
  if (GetParam().gci)
    EXPECT_EQ(got, std::vector<std::string>{"SubClassOf(Some(inv(r) Top) Max(1 inv(r) Top))"});
  else
    EXPECT_TRUE(got.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InverseFunctionalTest,
    ::testing::Values(
        InverseFunctionalCase{"nothing", [](IrFixture&, Role) {}, false},
        InverseFunctionalCase{"assertion", [](IrFixture& f, Role r) { f.add(ObjectPropertyAssertion{r, f.ind("a"), f.ind("b")}); }, true},
        InverseFunctionalCase{"assertion_over_inverse",
                              [](IrFixture& f, Role r) { f.add(ObjectPropertyAssertion{inverse_role(r), f.ind("a"), f.ind("b")}); }, true},
        InverseFunctionalCase{"one_existential_over_inverse", [](IrFixture& f, Role r) { f.some(inverse_role(r), f.A("A")); }, false},
        InverseFunctionalCase{"two_existentials_over_inverse",
                              [](IrFixture& f, Role r) {
                                f.some(inverse_role(r), f.A("A"));
                                f.some(inverse_role(r), f.A("B"));
                              },
                              true},
        InverseFunctionalCase{"existential_and_min1_over_inverse",
                              [](IrFixture& f, Role r) {
                                f.some(inverse_role(r), f.A("A"));
                                f.min(1, inverse_role(r), f.A("A"));
                              },
                              true},
        InverseFunctionalCase{"min2_over_inverse", [](IrFixture& f, Role r) { f.min(2, inverse_role(r), f.A("A")); }, true},
        InverseFunctionalCase{"min0_ignored",
                              [](IrFixture& f, Role r) {
                                f.min(0, inverse_role(r), f.A("A"));
                                f.min(0, inverse_role(r), f.A("B"));
                              },
                              false},
        InverseFunctionalCase{"universal_and_max_ignored",
                              [](IrFixture& f, Role r) {
                                f.all(inverse_role(r), f.A("A"));
                                f.max(3, inverse_role(r), f.A("A"));
                                f.some(inverse_role(r), f.A("A"));
                              },
                              false},
        InverseFunctionalCase{"existential_over_r_to_nominal", [](IrFixture& f, Role r) { f.some(r, f.nom("o")); }, true},
        InverseFunctionalCase{"existential_over_r_to_class", [](IrFixture& f, Role r) { f.some(r, f.A("A")); }, false},
        InverseFunctionalCase{"other_role", [](IrFixture& f, Role) {
                                f.min(2, f.inv("s"), f.A("A"));
                                f.add(ObjectPropertyAssertion{f.r("s"), f.ind("a"), f.ind("b")});
                              }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FunctionalRolesSwitch, ZeroSilencesInverseFunctionalOnly) {
  ScopedSwitch max_env(SwitchId::InverseFuncMax, "0");
  IrFixture f;
  Role r = f.r("r"), s = f.r("s");
  f.add(InverseFunctionalRole{r});
  f.add(ObjectPropertyAssertion{r, f.ind("a"), f.ind("b")});
  f.add(FunctionalRole{s});
  auto scan = functional_roles(f.ir.axioms, f.ir);
  EXPECT_EQ(scan.next(), s);
  EXPECT_EQ(scan.next(), std::nullopt);
}

TEST(FunctionalRolesScan, LazyInAxiomOrder) {
  ScopedSwitch max_env(SwitchId::InverseFuncMax, std::nullopt);
  IrFixture f;
  Role r = f.r("r"), s = f.r("s");
  f.add(FunctionalRole{s});
  f.add(InverseFunctionalRole{r});
  f.add(FunctionalRole{r});
  f.add(ObjectPropertyAssertion{r, f.ind("a"), f.ind("b")});
  auto scan = functional_roles(f.ir.axioms, f.ir);
  EXPECT_EQ(scan.next(), s);
  EXPECT_EQ(scan.next(), inverse_role(r));
  EXPECT_EQ(scan.next(), r);
  EXPECT_EQ(scan.next(), std::nullopt);
}

class InversePairTest : public ::testing::Test {
 protected:
  ScopedSwitch env{SwitchId::InversePairFunc, "1"};
  IrFixture f;
  std::vector<std::string> run() {
    std::size_t before = f.ir.axioms.size();
    inverse_pair_functional_pass(f.ir);
    std::vector<std::string> out;
    for (std::size_t i = before; i < f.ir.axioms.size(); ++i) out.push_back(render(f.ir, f.ir.axioms[i]));
    return out;
  }
};

TEST_F(InversePairTest, FunctionalGivesInverseFunctionalPartner) {
  Role p = f.r("p"), q = f.r("q");
  f.add(FunctionalRole{p});
  f.add(InverseObjectProperties{p, q});
  f.add(ObjectPropertyAssertion{p, f.ind("a"), f.ind("b")});
  EXPECT_EQ(run(), std::vector<std::string>{"InverseFunctionalRole(q)"}) << "q is not functional: no mirrored assertion";
}

TEST_F(InversePairTest, FunctionalPartnerMirrorsAssertion) {
  Role p = f.r("p"), q = f.r("q");
  f.add(FunctionalRole{q});
  f.add(InverseObjectProperties{p, q});
  f.add(ObjectPropertyAssertion{p, f.ind("a"), f.ind("b")});
  EXPECT_EQ(run(), (std::vector<std::string>{"InverseFunctionalRole(p)", "ObjectPropertyAssertion(q b a)"}));
}

TEST_F(InversePairTest, ExistingMirrorIsNotRepeated) {
  Role p = f.r("p"), q = f.r("q");
  f.add(FunctionalRole{q});
  f.add(InverseObjectProperties{p, q});
  f.add(ObjectPropertyAssertion{p, f.ind("a"), f.ind("b")});
  f.add(ObjectPropertyAssertion{q, f.ind("b"), f.ind("a")});
  f.add(ObjectPropertyAssertion{p, f.ind("a"), f.ind("b")});
  EXPECT_EQ(run(), std::vector<std::string>{"InverseFunctionalRole(p)"});
}

TEST_F(InversePairTest, PropagatesAlongPairsWithinOneSweep) {
  Role p = f.r("p"), q = f.r("q"), s = f.r("s");
  f.add(FunctionalRole{p});
  f.add(InverseObjectProperties{p, q});
  f.add(InverseObjectProperties{q, s});
  EXPECT_EQ(run(), (std::vector<std::string>{"InverseFunctionalRole(q)", "FunctionalRole(s)"}));
}

TEST_F(InversePairTest, InverseRolesAndOffSwitch) {
  Role p = f.r("p"), q = f.r("q");
  f.add(FunctionalRole{inverse_role(p)});
  f.add(InverseObjectProperties{p, q});
  EXPECT_TRUE(run().empty()) << "only named roles count";
  f.add(FunctionalRole{p});
  {
    ScopedSwitch off(SwitchId::InversePairFunc, "yes");
    EXPECT_TRUE(run().empty());
  }
  EXPECT_EQ(run(), std::vector<std::string>{"InverseFunctionalRole(q)"});
}

// The passes give the same axioms, up to ids, whatever the order of the input.
TEST(NegationAndFunctionalityPasses, SameResultForAnyAxiomOrder) {
  ScopedSwitch neg(SwitchId::NegToBotGci, std::nullopt);
  ScopedSwitch max(SwitchId::InverseFuncMax, std::nullopt);
  ScopedSwitch pair(SwitchId::InversePairFunc, "1");
  auto build = [](std::uint32_t seed) {
    IrFixture f;
    ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
    Role p = f.r("p"), q = f.r("q"), s = f.r("s"), t = f.r("t");
    f.some(inverse_role(t), a);
    f.some(inverse_role(t), b);
    std::vector<Axiom> axioms{SubClassOf{a, f.no(b)},
                              SubClassOf{c, f.and_({a, f.no(b), f.no(f.some(p, c))})},
                              FunctionalRole{p},
                              FunctionalRole{inverse_role(s)},
                              InverseFunctionalRole{t},
                              InverseObjectProperties{p, q},
                              InverseObjectProperties{q, s},
                              ObjectPropertyAssertion{q, f.ind("x"), f.ind("y")},
                              ObjectPropertyAssertion{s, f.ind("y"), f.ind("z")},
                              FunctionalRole{p}};
    std::mt19937 rng(seed);
    std::shuffle(axioms.begin(), axioms.end(), rng);
    f.ir.axioms = std::move(axioms);
    negation_to_bottom_gcis(f.ir);
    add_functional_role_gcis(f.ir);
    inverse_pair_functional_pass(f.ir);
    return testing::rendered_axioms(f.ir);
  };
  auto want = build(0);
  EXPECT_NE(std::find(want.begin(), want.end(), "SubClassOf(Some(inv(t) Top) Max(1 inv(t) Top))"), want.end());
  EXPECT_NE(std::find(want.begin(), want.end(), "FunctionalRole(s)"), want.end());
  for (std::uint32_t seed = 1; seed < 12; ++seed) EXPECT_EQ(build(seed), want) << seed;
}

}  // namespace
}  // namespace kelmon
