#include <gtest/gtest.h>

#include "common/invariant.h"
#include "core/ir.h"

namespace kelmon {
namespace {

TEST(Vocabulary, InterningAgainReturnsTheFirstId) {
  Vocabulary v;
  EXPECT_EQ(v.classes.intern("A"), ClassId{0});
  EXPECT_EQ(v.classes.intern("B"), ClassId{1});
  EXPECT_EQ(v.classes.intern("A"), ClassId{0});
  EXPECT_EQ(v.classes.size(), 2u);
  EXPECT_EQ(v.classes.name(ClassId{1}), "B");
}

TEST(Vocabulary, ReservingKeepsNamesAndIds) {
  Vocabulary v;
  v.classes.intern("A");
  v.classes.intern("B");
  v.classes.reserve(1000);
  v.classes.reserve(1);  // less than held: nothing is lost
  for (int i = 0; i < 2000; ++i) v.classes.intern("C" + std::to_string(i));
  EXPECT_EQ(v.classes.size(), 2002u);
  EXPECT_EQ(v.classes.intern("B"), ClassId{1});
  EXPECT_EQ(v.classes.get("C1999")->id, ClassId{2001});
  EXPECT_EQ(v.classes.name(ClassId{0}), "A");
}

// Many names, so the index grows several times; every one keeps its id and a
// copy of the table answers the same.
TEST(Vocabulary, ManyNamesKeepTheirIdsThroughGrowthAndCopies) {
  Namespace<ClassId> ns;
  for (std::uint32_t i = 0; i < 20000; ++i) ASSERT_EQ(ns.intern("http://x/C" + std::to_string(i)), ClassId{i});
  Namespace<ClassId> copy = ns;
  for (std::uint32_t i = 0; i < 20000; i += 97) {
    std::string name = "http://x/C" + std::to_string(i);
    EXPECT_EQ(ns.intern(name), ClassId{i});
    ASSERT_TRUE(copy.get(name).has_value());
    EXPECT_EQ(copy.get(name)->id, ClassId{i});
  }
  EXPECT_FALSE(ns.get("http://x/C20000").has_value());
  EXPECT_EQ(copy.intern("http://x/new"), ClassId{20000});
  EXPECT_EQ(ns.size(), 20000u);
}

TEST(Vocabulary, NamespacesAreIndependent) {
  Vocabulary v;
  EXPECT_EQ(v.classes.intern("http://x/a"), ClassId{0});
  EXPECT_EQ(v.individuals.intern("http://x/a"), IndividualId{0});
  EXPECT_EQ(v.roles.size(), 0u);
  EXPECT_FALSE(v.roles.get("http://x/a").has_value());
}

TEST(Vocabulary, GetNeverAdds) {
  Vocabulary v;
  v.roles.intern("r");
  EXPECT_FALSE(v.roles.get("s").has_value());
  EXPECT_EQ(v.roles.size(), 1u);
  auto hit = v.roles.get("r");
  ASSERT_TRUE(hit.has_value());
  EXPECT_EQ(hit->id, RoleId{0});
  EXPECT_EQ(hit->name, "r");
}

TEST(Vocabulary, EmptyStringAndByteExactNames) {
  Vocabulary v;
  ClassId empty = v.classes.intern("");
  ClassId upper = v.classes.intern("A");
  ClassId lower = v.classes.intern("a");
  EXPECT_NE(upper, lower);
  ASSERT_TRUE(v.classes.get("").has_value());
  EXPECT_EQ(v.classes.get("")->id, empty);
  std::string with_nul("x\0y", 3);
  ClassId nul = v.classes.intern(with_nul);
  EXPECT_NE(nul, v.classes.intern("x"));
  EXPECT_EQ(v.classes.name(nul), with_nul);
}

TEST(Vocabulary, NameOutOfRangeIsInvariantFailure) {
  Vocabulary v;
  v.classes.intern("A");
  EXPECT_THROW(v.classes.name(ClassId{1}), InvariantFailure);
  EXPECT_THROW(v.individuals.name(IndividualId{0}), InvariantFailure);
}

TEST(Vocabulary, CopySharesStringsAndGrowsIndependently) {
  Vocabulary v;
  v.classes.intern("A");
  Vocabulary copy = v;
  EXPECT_EQ(copy.classes.shared_name(ClassId{0}).get(), v.classes.shared_name(ClassId{0}).get());
  EXPECT_EQ(copy.classes.intern("B"), ClassId{1});
  EXPECT_EQ(v.classes.size(), 1u);
  EXPECT_EQ(copy.classes.get("A")->id, ClassId{0});
  EXPECT_FALSE(v.classes.get("B").has_value());
}

TEST(Vocabulary, ManyNamesKeepFirstInternOrder) {
  Vocabulary v;
  for (int i = 0; i < 5000; ++i) v.classes.intern("c" + std::to_string(i));
  for (int i = 4999; i >= 0; --i) ASSERT_EQ(v.classes.intern("c" + std::to_string(i)).v, static_cast<unsigned>(i));
  EXPECT_EQ(v.classes.name(ClassId{1234}), "c1234");
}

TEST(Ids, DebugText) {
  EXPECT_EQ(debug_text(ClassId{7}), "ClassId(7)");
  EXPECT_EQ(debug_text(RoleId{0}), "RoleId(0)");
  EXPECT_EQ(debug_text(IndividualId{12}), "IndividualId(12)");
  EXPECT_EQ(debug_text(IndividualId{0}), "IndividualId(0)");
  EXPECT_EQ(debug_text_multiline(ClassId{7}), "ClassId(\n    7,\n)");
}

TEST(Ids, OrderAndHashByNumber) {
  EXPECT_LT(ClassId{2}, ClassId{10});
  EXPECT_EQ(std::hash<RoleId>{}(RoleId{5}), std::hash<RoleId>{}(RoleId{5}));
}

}  // namespace
}  // namespace kelmon
