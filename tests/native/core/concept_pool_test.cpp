#include <gtest/gtest.h>

#include <thread>

#include "common/invariant.h"
#include "core/ir.h"

namespace kelmon {
namespace {

constexpr Role kR = Role::named(RoleId{0});

class PoolTest : public ::testing::Test {
 protected:
  ConceptId atom(std::uint32_t c) { return pool.intern(Atomic{ClassId{c}}); }
  ConceptPool pool;
};

TEST_F(PoolTest, InternReturnsExistingId) {
  ConceptId a = atom(0);
  ConceptId b = atom(1);
  EXPECT_EQ(a, ConceptId{0});
  EXPECT_EQ(b, ConceptId{1});
  EXPECT_EQ(atom(0), a);
  ConceptId s = pool.intern(Some{a, kR});
  EXPECT_EQ(pool.intern(Some{a, kR}), s);
  EXPECT_NE(pool.intern(Some{a, inverse_role(kR)}), s);
  EXPECT_NE(pool.intern(All{a, kR}), s);
  EXPECT_EQ(pool.size(), 5u);
}

TEST_F(PoolTest, GetOutOfRangeIsInvariantFailure) {
  atom(0);
  EXPECT_THROW(pool.get(ConceptId{1}), InvariantFailure);
  // A payload naming a concept not yet stored would make the pool cyclic.
  EXPECT_THROW(pool.intern(Not{ConceptId{1}}), InvariantFailure);
  EXPECT_THROW(pool.intern(And{{ConceptId{0}, ConceptId{7}}}), InvariantFailure);
  EXPECT_EQ(pool.size(), 1u);
}

TEST_F(PoolTest, DirectInternKeepsListAsGiven) {
  ConceptId a = atom(0), b = atom(1);
  ConceptId unsorted = pool.intern(Or{{b, a}});
  ConceptId sorted = pool.intern(Or{{a, b}});
  EXPECT_NE(unsorted, sorted);
  EXPECT_EQ(std::get<Or>(pool.get(unsorted)).members, (std::vector<ConceptId>{b, a}));
}

// Builder cases over atoms A, B, C (ids 0..2), Top, Bottom and nested forms.
enum class Sym { A, B, C, Top, Bot, OrAB, AndAB, AndAC };

struct BuilderCase {
  const char* name;
  bool is_or;
  std::vector<Sym> members;
  // Expected: a symbol, or a list of atoms forming And/Or of the same builder.
  std::vector<Sym> expected_members;  // empty when expected is a single symbol
  Sym expected_single;
};

class BuilderTest : public ::testing::TestWithParam<BuilderCase> {};

TEST_P(BuilderTest, CanonicalForm) {
  ConceptPool pool;
  ConceptId A = pool.intern(Atomic{ClassId{0}});
  ConceptId B = pool.intern(Atomic{ClassId{1}});
  ConceptId C = pool.intern(Atomic{ClassId{2}});
  ConceptId top = pool.intern(Top{});
  ConceptId bot = pool.intern(Bottom{});
  ConceptId or_ab = pool.intern(Or{{A, B}});
  ConceptId and_ab = pool.intern(And{{A, B}});
  ConceptId and_ac = pool.intern(And{{A, C}});
  auto id = [&](Sym s) {
    switch (s) {
      case Sym::A: return A;
      case Sym::B: return B;
      case Sym::C: return C;
      case Sym::Top: return top;
      case Sym::Bot: return bot;
      case Sym::OrAB: return or_ab;
      case Sym::AndAB: return and_ab;
      case Sym::AndAC: return and_ac;
    }
    return A;
  };
  const BuilderCase& c = GetParam();
  std::vector<ConceptId> members;
  for (Sym s : c.members) members.push_back(id(s));
  std::size_t before = pool.size();
  ConceptId got = c.is_or ? pool.mk_or(members) : pool.mk_and(members);
  if (c.expected_members.empty()) {
    EXPECT_EQ(got, id(c.expected_single));
    EXPECT_EQ(pool.size(), before) << "a builder returning an existing concept interns nothing";
  } else {
    std::vector<ConceptId> want;
    for (Sym s : c.expected_members) want.push_back(id(s));
    const Concept& got_concept = pool.get(got);
    if (c.is_or) {
      ASSERT_TRUE(std::holds_alternative<Or>(got_concept));
      EXPECT_EQ(std::get<Or>(got_concept).members, want);
    } else {
      ASSERT_TRUE(std::holds_alternative<And>(got_concept));
      EXPECT_EQ(std::get<And>(got_concept).members, want);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Builders, BuilderTest,
    ::testing::Values(
        BuilderCase{"or_empty_is_bottom", true, {}, {}, Sym::Bot},
        BuilderCase{"and_empty_is_top", false, {}, {}, Sym::Top},
        BuilderCase{"or_single", true, {Sym::B}, {}, Sym::B},
        BuilderCase{"or_duplicate_single", true, {Sym::B, Sym::B}, {}, Sym::B},
        BuilderCase{"and_single", false, {Sym::C}, {}, Sym::C},
        BuilderCase{"or_with_top", true, {Sym::A, Sym::Top, Sym::B}, {}, Sym::Top},
        BuilderCase{"or_drops_bottom", true, {Sym::Bot, Sym::A}, {}, Sym::A},
        BuilderCase{"and_with_bottom", false, {Sym::A, Sym::Bot}, {}, Sym::Bot},
        BuilderCase{"and_drops_top", false, {Sym::A, Sym::Top}, {}, Sym::A},
        BuilderCase{"or_only_bottoms", true, {Sym::Bot, Sym::Bot}, {}, Sym::Bot},
        BuilderCase{"and_only_tops", false, {Sym::Top}, {}, Sym::Top},
        BuilderCase{"or_sorts", true, {Sym::C, Sym::B, Sym::A}, {Sym::A, Sym::B, Sym::C}, Sym::A},
        BuilderCase{"or_flattens_one_level", true, {Sym::OrAB, Sym::C}, {Sym::A, Sym::B, Sym::C}, Sym::A},
        BuilderCase{"or_flatten_equals_existing", true, {Sym::B, Sym::OrAB, Sym::A}, {}, Sym::OrAB},
        BuilderCase{"and_keeps_or_member", false, {Sym::OrAB, Sym::A}, {Sym::A, Sym::OrAB}, Sym::A},
        BuilderCase{"and_flattens_and", false, {Sym::AndAB, Sym::AndAC}, {Sym::A, Sym::B, Sym::C}, Sym::A},
        BuilderCase{"or_keeps_and_member", true, {Sym::AndAB, Sym::C}, {Sym::C, Sym::AndAB}, Sym::A}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PoolTest, BuildersLookUpEveryMemberEvenAfterAbsorbingOne) {
  ConceptId top = pool.intern(Top{});
  ConceptId bot = pool.intern(Bottom{});
  EXPECT_THROW(pool.mk_or({top, ConceptId{99}}), InvariantFailure);
  EXPECT_THROW(pool.mk_and({bot, ConceptId{99}}), InvariantFailure);
}

TEST_F(PoolTest, FlatteningIsOneLevelOnly) {
  // A non-canonical Or nested inside an Or (interned directly) is not looked at again.
  ConceptId a = atom(0), b = atom(1), c = atom(2);
  ConceptId inner = pool.intern(Or{{a, b}});
  ConceptId outer = pool.intern(Or{{c, inner}});
  ConceptId made = pool.mk_or({outer, c});
  EXPECT_EQ(made, outer) << "members of outer are taken as they are";
}

TEST_F(PoolTest, AndPairIsOrderFree) {
  ConceptId a = atom(0), b = atom(1);
  EXPECT_EQ(pool.mk_and_pair(a, b), pool.mk_and_pair(b, a));
  EXPECT_EQ(pool.mk_and_pair(a, b), pool.mk_and({a, b}));
}

TEST_F(PoolTest, MkMin) {
  ConceptId bot = pool.intern(Bottom{});
  ConceptId top = pool.mk_min(0, kR, bot);
  EXPECT_TRUE(std::holds_alternative<Top>(pool.get(top)));
  ConceptId m = pool.mk_min(1, kR, bot);
  EXPECT_EQ(pool.get(m), (Concept{Min{1, bot, kR}}));
}

TEST_F(PoolTest, BottomIdScansUntilFound) {
  atom(0);
  EXPECT_FALSE(pool.bottom_id().has_value());
  EXPECT_FALSE(pool.bottom_id().has_value());
  ConceptId bot = pool.intern(Bottom{});
  EXPECT_EQ(pool.bottom_id(), bot);
  atom(1);
  EXPECT_EQ(pool.bottom_id(), bot);
}

TEST_F(PoolTest, BottomIdFromManyReaders) {
  for (std::uint32_t i = 0; i < 1000; ++i) atom(i);
  ConceptId bot = pool.intern(Bottom{});
  std::vector<std::thread> threads;
  std::vector<std::optional<ConceptId>> seen(8);
  for (int t = 0; t < 8; ++t) threads.emplace_back([&, t] { seen[t] = pool.bottom_id(); });
  for (auto& th : threads) th.join();
  for (auto& s : seen) EXPECT_EQ(s, bot);
}

TEST_F(PoolTest, CloneInternsAtTheSameIdsAndLeavesSourceAlone) {
  ConceptId a = atom(0);
  pool.intern(Bottom{});
  pool.bottom_id();
  ConceptPool copy = pool.clone();
  EXPECT_EQ(copy.seed(), pool.seed());
  EXPECT_EQ(copy.bottom_id(), pool.bottom_id());
  ConceptId in_copy = copy.intern(Some{a, kR});
  ConceptId in_source = pool.intern(Some{a, kR});
  EXPECT_EQ(in_copy, in_source);
  copy.intern(Atomic{ClassId{5}});
  EXPECT_EQ(pool.size(), 3u);
  EXPECT_EQ(copy.size(), 4u);
  EXPECT_EQ(copy.intern(Atomic{ClassId{0}}), a);
}

TEST_F(PoolTest, CloneWithoutBottomLeavesCacheUnset) {
  atom(0);
  ConceptPool copy = pool.clone();
  EXPECT_FALSE(copy.bottom_id().has_value());
  ConceptId bot = copy.intern(Bottom{});
  EXPECT_EQ(copy.bottom_id(), bot);
  EXPECT_FALSE(pool.bottom_id().has_value());
}

TEST_F(PoolTest, ReferencesSurviveGrowth) {
  ConceptId a = atom(0);
  const Concept& first = pool.get(a);
  for (std::uint32_t i = 1; i < 100000; ++i) atom(i);
  EXPECT_EQ(std::get<Atomic>(first).cls, ClassId{0});
  EXPECT_EQ(atom(77777), ConceptId{77777});
}

TEST(RoleOrder, FlagFirstThenId) {
  EXPECT_LT(Role::named(RoleId{5}), Role::inverse_of(RoleId{0}));
  EXPECT_LT(Role::named(RoleId{1}), Role::named(RoleId{2}));
  EXPECT_EQ(inverse_role(inverse_role(Role::named(RoleId{3}))), Role::named(RoleId{3}));
  EXPECT_EQ(inverse_role(Role::named(RoleId{3})), Role::inverse_of(RoleId{3}));
}

TEST(ConceptKinds, TagsInOrder) {
  EXPECT_EQ(concept_tag(Concept{Top{}}), 0u);
  EXPECT_EQ(concept_tag(Concept{Self{}}), 4u);
  EXPECT_EQ(concept_tag(Concept{Max{}}), 11u);
  EXPECT_EQ(concept_kind_name(ConceptKind::Nominal), "Nominal");
}

}  // namespace
}  // namespace kelmon
