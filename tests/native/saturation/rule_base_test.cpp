// The rule base that normalisation and the builder make from small TBoxes.
#include <gtest/gtest.h>

#include <algorithm>

#include "saturation/internal/build_rule_base.h"
#include "saturation/internal/normalise.h"
#include "tbox.h"

namespace kelmon::sat {
namespace {

using kelmon::testing::ScopedSwitch;
using testing::Tbox;

BuiltRuleBase build(Tbox& t) { return build_rule_base(t.o, build_role_closure(t.o)); }

template <class T>
bool has(const std::vector<T>& v, const T& x) {
  return std::find(v.begin(), v.end(), x) != v.end();
}

TEST(RoleClosure, SubRolesChainAndEquivalencesCloseButInversesDoNot) {
  Tbox t;
  for (const char* name : {"r", "s", "t", "u", "p", "q"}) t.r(name);  // ascending ids
  t.subrole(t.r("r"), t.r("s"));
  t.subrole(t.r("s"), t.r("t"));
  t.subrole(t.inv("r"), t.r("u"));
  t.equiv_roles({t.r("p"), t.r("q")});
  auto c = build_role_closure(t.o);
  auto id = [&](const char* n) { return t.o.vocabulary.roles.get(n)->id.v; };
  EXPECT_EQ(c[id("r")], (std::vector<u32>{id("r"), id("s"), id("t")}));
  EXPECT_EQ(c[id("u")], std::vector<u32>{id("u")});
  EXPECT_EQ(c[id("p")], (std::vector<u32>{id("p"), id("q")}));
  EXPECT_EQ(c[id("q")], (std::vector<u32>{id("p"), id("q")}));
}

TEST(RuleBase, UnionOfNamedClassesBecomesAUnionRuleOnly) {
  Tbox t;
  t.sub(t.A("A"), t.or_({t.A("B"), t.A("C")}));
  t.sub(t.A("A2"), t.or_({t.A("B"), t.some(t.r("r"), t.A("C"))}));
  auto b = build(t);
  ASSERT_TRUE(b.rules.unions.contains(t.id("A")));
  EXPECT_EQ(b.rules.unions.at(t.id("A")), (std::vector<std::vector<u32>>{{t.id("B"), t.id("C")}}));
  EXPECT_FALSE(b.rules.unions.contains(t.id("A2")));
  EXPECT_TRUE(b.rules.told.empty());
}

TEST(RuleBase, AtomicSubWithConjunctionNegationAndExistential) {
  Tbox t;
  t.sub(t.A("A"), t.and_({t.A("B"), t.not_(t.A("C")), t.some(t.r("r"), t.A("D"))}));
  auto b = build(t);
  const u32 a = t.id("A");
  EXPECT_TRUE(has(b.rules.told, std::pair<u32, u32>{a, t.id("B")}));
  EXPECT_TRUE(has(b.rules.disjoint_pairs, std::pair<u32, u32>{a, t.id("C")}));
  EXPECT_TRUE(has(b.rules.link_rules, LinkRule{a, 0, t.id("D")}));  // no ranges: the filler is D
}

TEST(RuleBase, TopFillersAreSharedPerRole) {
  Tbox t;
  t.sub(t.A("A"), t.some(t.r("r"), t.top()));
  t.sub(t.A("B"), t.some(t.r("r"), t.top()));
  auto b = build(t);
  ASSERT_EQ(b.rules.link_rules.size(), 2u);
  EXPECT_EQ(b.rules.link_rules[0].filler, b.rules.link_rules[1].filler);
  EXPECT_EQ(b.ids.top_fillers.at(0), b.rules.link_rules[0].filler);
  EXPECT_FALSE(b.ids.top.has_value());  // no ⊤ id needed here
}

TEST(RuleBase, AtMostOneAndForallNominalsAreIndexed) {
  Tbox t;
  t.sub(t.A("A"), t.max(1, t.r("r"), t.top()));
  t.sub(t.A("A"), t.all(t.r("r"), t.or_({t.nominal("a"), t.nominal("b")})));
  auto b = build(t);
  const u32 m = b.ids.at_most.at(PairKey{1, 0});
  EXPECT_EQ(b.rules.at_most_one.at(0), m);
  EXPECT_EQ(b.rules.at_most_one_roles.at(m), 0u);
  const u32 f = b.ids.forall_nominals.begin()->second;
  EXPECT_EQ(b.rules.forall_nominal_index.at(PairKey{0, 0}), std::vector<u32>{f});
  EXPECT_EQ(b.rules.forall_nominal_index.at(PairKey{0, 1}), std::vector<u32>{f});
  EXPECT_TRUE(has(b.rules.told, std::pair<u32, u32>{t.id("A"), m}));
  EXPECT_TRUE(has(b.rules.told, std::pair<u32, u32>{t.id("A"), f}));
}

TEST(RuleBase, ConjunctionWithAtLeastTwoMemberIsDropped) {
  Tbox t;
  t.sub(t.and_({t.A("A"), t.min(2, t.r("r"), t.A("B"))}), t.A("C"));
  auto b = build(t);
  EXPECT_TRUE(b.rules.conjunction_rules.empty());
}

TEST(RuleBase, InverseExistentialNominalAndNegatedSubsAddNothing) {
  Tbox t;
  t.sub(t.some(t.inv("r"), t.A("B")), t.A("C"));
  t.sub(t.nominal("a"), t.A("C"));
  t.sub(t.not_(t.A("A")), t.A("B"));
  auto b = build(t);
  EXPECT_TRUE(b.rules.told.empty());
  EXPECT_TRUE(b.rules.exists_left_rules.empty());
  EXPECT_TRUE(b.rules.link_rules.empty());
}

TEST(RuleBase, EquivalenceMakesEveryOrderedPair) {
  Tbox t;
  t.equiv({t.A("A"), t.A("B"), t.A("C")});
  auto b = build(t);
  EXPECT_EQ(b.rules.told.size(), 6u);
}

TEST(RuleBase, TransitivityAndTwoRoleChainsButNotInverseChains) {
  Tbox t;
  t.transitive(t.r("r"));
  t.chain(t.r("a"), t.r("b"), t.r("s"));
  t.chain(t.inv("a"), t.r("b"), t.r("s"));
  auto b = build(t);
  EXPECT_EQ(b.rules.role_chains.size(), 2u);
  EXPECT_EQ(b.rules.role_chains[0], (RoleChainRule{0, 0, 0}));
}

TEST(RuleBase, BottomDomainEmptiesExistentialsOverSubRoles) {
  Tbox t;
  t.domain(t.r("r"), t.bot());
  t.subrole(t.r("s"), t.r("r"));
  t.sub(t.A("A"), t.and_({t.A("B"), t.some(t.r("s"), t.A("C"))}));
  t.sub(t.and_({t.A("A"), t.some(t.r("s"), t.A("C"))}), t.A("D"));
  auto b = build(t);
  const u32 e = b.ids.existentials.at(PairKey{1, t.id("C")});
  EXPECT_TRUE(has(b.rules.initially_unsat, e));
}

TEST(RuleBase, TransitiveAssertionsReachOnlyWhenANominalIsMentioned) {
  for (bool nominal : {false, true}) {
    Tbox t;
    t.transitive(t.r("r"));
    t.fact(t.r("r"), "a", "b");
    t.fact(t.r("r"), "b", "c");
    if (nominal) t.sub(t.A("A"), t.some(t.r("r"), t.nominal("a")));
    auto b = build(t);
    if (!nominal) {
      EXPECT_TRUE(b.rules.transitive_successors.empty());
      continue;
    }
    const u32 na = b.ids.individuals.at(0), nb = b.ids.individuals.at(1), nc = b.ids.individuals.at(2);
    EXPECT_EQ(b.rules.transitive_successors.at(PairKey{0, na}), (std::vector<u32>{nb, nc}));
    EXPECT_EQ(b.rules.transitive_successors.at(PairKey{0, nb}), std::vector<u32>{nc});
  }
}

TEST(RuleBase, FunctionalSupersAscend) {
  Tbox t;
  const Role r = t.r("r"), s = t.r("s");  // ids 0 and 1
  t.subrole(r, s);
  t.functional(r);
  auto one = build(t);
  EXPECT_EQ(one.rules.functional_supers[0], std::vector<u32>{0});
  t.functional(s);
  auto both = build(t);
  EXPECT_EQ(both.rules.functional_supers[0], (std::vector<u32>{0, 1}));
}

struct SwitchCase {
  SwitchId id;
  std::optional<std::string> value;
  bool on;
};

class OneOfSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(OneOfSwitch, OneOfSubsumersFollowTheSwitch) {
  ScopedSwitch env(GetParam().id, GetParam().value);
  Tbox t;
  t.sub(t.A("A"), t.or_({t.nominal("a"), t.nominal("b")}));
  t.type(t.A("C"), "a");
  t.type(t.and_({t.A("C"), t.A("D")}), "b");
  auto b = build(t);
  EXPECT_EQ(has(b.rules.told, std::pair<u32, u32>{t.id("A"), t.id("C")}), GetParam().on);
  EXPECT_FALSE(has(b.rules.told, std::pair<u32, u32>{t.id("A"), t.id("D")}));
}

INSTANTIATE_TEST_SUITE_P(Values, OneOfSwitch,
                         ::testing::Values(SwitchCase{SwitchId::OneofSubsumer, std::nullopt, true},
                                           SwitchCase{SwitchId::OneofSubsumer, "1", true},
                                           SwitchCase{SwitchId::OneofSubsumer, "0", false},
                                           SwitchCase{SwitchId::OneofSubsumer, "", false}));

class NominalTypingSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(NominalTypingSwitch, AssertionsTypeNominalsFollowingTheSwitch) {
  ScopedSwitch env(GetParam().id, GetParam().value);
  Tbox t;
  t.sub(t.A("A"), t.some(t.r("r"), t.nominal("a")));
  t.type(t.A("C"), "a");
  auto b = build(t);
  const u32 na = b.ids.individuals.at(0);
  EXPECT_EQ(has(b.rules.told, std::pair<u32, u32>{na, t.id("C")}), GetParam().on);
}

INSTANTIATE_TEST_SUITE_P(Values, NominalTypingSwitch,
                         ::testing::Values(SwitchCase{SwitchId::NominalTyping, std::nullopt, true},
                                           SwitchCase{SwitchId::NominalTyping, "yes", true},
                                           SwitchCase{SwitchId::NominalTyping, "0", false},
                                           SwitchCase{SwitchId::NominalTyping, "", false}));

class BottomFillerSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(BottomFillerSwitch, BottomInsideAFillerEncodesToTheSharedBottomFiller) {
  ScopedSwitch env(GetParam().id, GetParam().value);
  Tbox t;
  const Role r = t.r("r"), s = t.r("s");  // ids 0 and 1
  t.sub(t.A("A"), t.some(r, t.and_({t.A("B"), t.some(s, t.bot())})));
  auto b = build(t);
  EXPECT_EQ(b.ids.bottom_filler.has_value(), GetParam().on);
  if (GetParam().on) {
    EXPECT_TRUE(has(b.rules.link_rules, LinkRule{t.id("A"), 0, *b.ids.bottom_filler}));
    EXPECT_TRUE(has(b.rules.initially_unsat, *b.ids.bottom_filler));
  } else {
    EXPECT_TRUE(b.rules.link_rules.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Values, BottomFillerSwitch,
                         ::testing::Values(SwitchCase{SwitchId::ElBotFiller, std::nullopt, true},
                                           SwitchCase{SwitchId::ElBotFiller, "", true},
                                           SwitchCase{SwitchId::ElBotFiller, "0", false}));

// Deeply nested existentials are encoded without recursion.
TEST(RuleBase, DeeplyNestedExistentialEncodesWithoutRecursion) {
  Tbox t;
  ConceptId c = t.A("B");
  for (int i = 0; i < 200000; ++i) c = t.some(t.r("r"), c);
  t.sub(t.A("A"), c);
  t.sub(t.some(t.r("r"), t.A("B")), t.A("D"));
  auto b = build(t);
  EXPECT_GE(b.rules.link_rules.size(), 200000u);
}

}  // namespace
}  // namespace kelmon::sat
