#include <gtest/gtest.h>

#include <limits>

#include "common/invariant.h"
#include "core/ir.h"

namespace kelmon {
namespace {

constexpr Role kR = Role::named(RoleId{0});
constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();

class NnfTest : public ::testing::Test {
 protected:
  ConceptId atom(std::uint32_t c) { return pool.intern(Atomic{ClassId{c}}); }
  ConceptId neg(ConceptId x) { return pool.intern(Not{x}); }
  ConceptPool pool;
};

TEST_F(NnfTest, DoubleNegationGivesTheAtomItself) {
  ConceptId a = atom(0);
  ConceptId nna = neg(neg(a));
  std::size_t before = pool.size();
  EXPECT_EQ(pool.nnf(nna), a);
  EXPECT_EQ(pool.size(), before);
}

TEST_F(NnfTest, ConceptAlreadyInNnfComesBackUnchanged) {
  ConceptId a = atom(0), b = atom(1);
  ConceptId s = pool.intern(Some{a, kR});
  ConceptId u = pool.mk_or({pool.intern(Not{a}), pool.intern(All{b, inverse_role(kR)}), pool.intern(Max{2, s, kR})});
  std::size_t before = pool.size();
  EXPECT_EQ(pool.nnf(s), s);
  EXPECT_EQ(pool.nnf(u), u);
  EXPECT_EQ(pool.size(), before);
}

TEST_F(NnfTest, TopAndBottomSwap) {
  ConceptId top = pool.intern(Top{});
  ConceptId bot = pool.intern(Bottom{});
  EXPECT_EQ(pool.nnf_not(top), bot);
  EXPECT_EQ(pool.nnf_not(bot), top);
  EXPECT_EQ(pool.nnf(top), top);
}

TEST_F(NnfTest, DeMorgan) {
  ConceptId a = atom(0), b = atom(1);
  ConceptId u = pool.mk_or({a, neg(b)});
  ConceptId got = pool.nnf_not(u);
  EXPECT_EQ(pool.get(got), (Concept{And{{b, neg(a)}}})) << "members sorted by id: B (1) before Not(A)";
}

TEST_F(NnfTest, NoTautologyDetection) {
  ConceptId a = atom(0);
  ConceptId na = neg(a);
  ConceptId got = pool.nnf_not(pool.mk_and({a, na}));
  EXPECT_EQ(pool.get(got), (Concept{Or{{a, na}}}));
}

TEST_F(NnfTest, QuantifiersSwapUnderNegation) {
  ConceptId a = atom(0);
  EXPECT_EQ(pool.nnf_not(pool.intern(All{neg(a), kR})), pool.intern(Some{a, kR}));
  EXPECT_EQ(pool.nnf_not(pool.intern(Some{a, kR})), pool.intern(All{neg(a), kR}));
  ConceptId self = pool.intern(Self{kR});
  EXPECT_EQ(pool.nnf_not(self), pool.intern(Not{self}));
  ConceptId nom = pool.intern(Nominal{IndividualId{3}});
  EXPECT_EQ(pool.nnf_not(nom), pool.intern(Not{nom}));
}

struct CountCase {
  const char* name;
  bool is_min;
  std::uint32_t n;
  bool negated;
  // Expected: kind of result and, for Min/Max, its n.
  ConceptKind kind;
  std::uint32_t expected_n;
};

class NnfCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(NnfCountTest, CountRestrictions) {
  const CountCase& c = GetParam();
  ConceptPool pool;
  ConceptId a = pool.intern(Atomic{ClassId{0}});
  ConceptId filler = pool.intern(Not{pool.intern(Not{a})});  // NNF of the filler is A
  ConceptId x = c.is_min ? pool.intern(Min{c.n, filler, kR}) : pool.intern(Max{c.n, filler, kR});
  ConceptId got = c.negated ? pool.nnf_not(x) : pool.nnf(x);
  const Concept& got_concept = pool.get(got);
  ASSERT_EQ(concept_kind(got_concept), c.kind);
  if (c.kind == ConceptKind::Min) {
    EXPECT_EQ(std::get<Min>(got_concept).n, c.expected_n);
    EXPECT_EQ(std::get<Min>(got_concept).filler, a) << "the filler is normalised, not complemented";
    EXPECT_EQ(std::get<Min>(got_concept).role, kR);
  }
  if (c.kind == ConceptKind::Max) {
    EXPECT_EQ(std::get<Max>(got_concept).n, c.expected_n);
    EXPECT_EQ(std::get<Max>(got_concept).filler, a);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NnfCountTest,
    ::testing::Values(CountCase{"not_min1_is_max0", true, 1, true, ConceptKind::Max, 0},
                      CountCase{"not_max0_is_min1", false, 0, true, ConceptKind::Min, 1},
                      CountCase{"not_min0_is_bottom", true, 0, true, ConceptKind::Bottom, 0},
                      CountCase{"min0_is_top", true, 0, false, ConceptKind::Top, 0},
                      CountCase{"min3_stays", true, 3, false, ConceptKind::Min, 3},
                      CountCase{"max2_stays", false, 2, false, ConceptKind::Max, 2},
                      CountCase{"not_max_near_limit", false, kU32Max - 1, true, ConceptKind::Min, kU32Max},
                      CountCase{"not_max_at_limit_is_top", false, kU32Max, true, ConceptKind::Top, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NnfTest, InvalidIdIsInvariantFailure) {
  atom(0);
  EXPECT_THROW(pool.nnf(ConceptId{5}), InvariantFailure);
  EXPECT_THROW(pool.nnf_not(ConceptId{5}), InvariantFailure);
}

TEST_F(NnfTest, InterningOrderFollowsTheRecursiveDefinition) {
  // nnf_not(And(Some(A, r), Some(B, r))): children left to right, node last:
  // Not A, All(Not A), Not B, All(Not B), then the Or.
  ConceptId a = atom(0), b = atom(1);
  ConceptId x = pool.mk_and({pool.intern(Some{a, kR}), pool.intern(Some{b, kR})});
  std::size_t base = pool.size();
  ConceptId got = pool.nnf_not(x);
  ASSERT_EQ(pool.size(), base + 5);
  EXPECT_EQ(pool.get(ConceptId{static_cast<std::uint32_t>(base)}), (Concept{Not{a}}));
  EXPECT_EQ(pool.get(ConceptId{static_cast<std::uint32_t>(base + 1)}), (Concept{All{ConceptId{static_cast<std::uint32_t>(base)}, kR}}));
  EXPECT_EQ(pool.get(ConceptId{static_cast<std::uint32_t>(base + 2)}), (Concept{Not{b}}));
  EXPECT_EQ(got, ConceptId{static_cast<std::uint32_t>(base + 4)});
}

TEST_F(NnfTest, HundredThousandDeepConceptsDoNotOverflow) {
  constexpr int kDepth = 100000;
  ConceptId a = atom(0), b = atom(1);
  // Not(Some(Not(All(... Or(A, Not(B)) ...)))) alternating, and a deep And chain.
  ConceptId x = pool.mk_or({a, neg(b)});
  for (int i = 0; i < kDepth; ++i) {
    x = (i % 2 == 0) ? pool.intern(Some{x, kR}) : pool.intern(All{x, kR});
    if (i % 3 == 0) x = neg(x);
    if (i % 5 == 0) x = pool.mk_and({x, atom(2 + static_cast<std::uint32_t>(i % 7))});
  }
  ConceptId n = pool.nnf(x);
  ConceptId nn = pool.nnf_not(x);
  EXPECT_NE(n, nn);
  // Normal forms are fixpoints.
  EXPECT_EQ(pool.nnf(n), n);
  EXPECT_EQ(pool.nnf_not(pool.nnf_not(x)), n);
  InternalOntology ir;
  ir.concepts = pool;
  ir.axioms.push_back(SubClassOf{x, a});
  auto out = nnf_axioms(ir);
  EXPECT_EQ(std::get<SubClassOf>(out[0]).sub, n);
}

TEST_F(NnfTest, AxiomsKeepPositionsAndKinds) {
  ConceptId a = atom(0), b = atom(1);
  ConceptId na = neg(a);
  ConceptId nna = neg(na);
  std::vector<Axiom> axioms{
      SubClassOf{nna, neg(pool.mk_and({a, b}))},
      EquivalentClasses{{nna, a}},
      TransitiveRole{kR},
      DisjointUnion{ClassId{0}, {nna, b}},
      ObjectPropertyDomain{kR, nna},
      ObjectPropertyRange{kR, nna},
      ClassAssertion{nna, IndividualId{0}},
      DisjointClasses{{b, nna}},
      SubObjectPropertyOf{Chain{{kR, kR}}, kR},
  };
  auto out = nnf_axioms(axioms, pool);
  ASSERT_EQ(out.size(), axioms.size());
  EXPECT_EQ(out[0], (Axiom{SubClassOf{a, pool.mk_or({na, neg(b)})}}));
  EXPECT_EQ(out[1], (Axiom{EquivalentClasses{{a, a}}})) << "members that become equal both stay";
  EXPECT_EQ(out[2], axioms[2]);
  EXPECT_EQ(out[3], (Axiom{DisjointUnion{ClassId{0}, {a, b}}}));
  EXPECT_EQ(out[4], (Axiom{ObjectPropertyDomain{kR, a}}));
  EXPECT_EQ(out[5], (Axiom{ObjectPropertyRange{kR, a}}));
  EXPECT_EQ(out[6], (Axiom{ClassAssertion{a, IndividualId{0}}}));
  EXPECT_EQ(out[7], (Axiom{DisjointClasses{{b, a}}})) << "positions kept, not re-sorted";
  EXPECT_EQ(out[8], axioms[8]);
  EXPECT_EQ(std::get<SubClassOf>(axioms[0]).sub, nna) << "the input list is unchanged";
}

}  // namespace
}  // namespace kelmon

namespace kelmon {
namespace {

TEST(NnfShared, SharedSubConceptsAreNormalisedOnce) {
  // x_{k+1} = And(Some(r, Not x_k), All(r, Not x_k)): 80 levels, 2^80 paths.
  ConceptPool pool;
  ConceptId x = pool.intern(Atomic{ClassId{0}});
  for (int k = 0; k < 80; ++k) {
    ConceptId n = pool.intern(Not{x});
    x = pool.mk_and({pool.intern(Some{n, kR}), pool.intern(All{n, kR})});
  }
  ConceptId got = pool.nnf_not(x);
  EXPECT_TRUE(std::holds_alternative<Or>(pool.get(got)));
  EXPECT_EQ(pool.nnf(got), got);
  EXPECT_EQ(pool.nnf_not(got), pool.nnf(x));
}

}  // namespace
}  // namespace kelmon
