#include "reasoner/properties/told_disjoint.h"

#include <gtest/gtest.h>

#include "reasoner/properties/property_test_support.h"

namespace kelmon::reasoner {
namespace {

using testing::load_axioms;
using testing::pair_text;

TEST(ToldDisjointPairs, EveryTwoPositionsSmallerFirst) {
  EXPECT_EQ(pair_text(told_disjoint_pairs({"r", "p", "q"}), '|'), "p|r q|r p|q");
  EXPECT_EQ(pair_text(told_disjoint_pairs({"p", "p"}), '|'), "p|p");
  EXPECT_EQ(pair_text(told_disjoint_pairs({"p"}), '|'), "");
  EXPECT_EQ(pair_text(told_disjoint_pairs({}), '|'), "");
}

struct DisjointCase {
  const char* name;
  const char* axioms;
  const char* object_pairs;
  const char* data_pairs;
};

class ToldDisjoint : public ::testing::TestWithParam<DisjointCase> {};

TEST_P(ToldDisjoint, ListsTheStatedPairsOnly) {
  auto loaded = load_axioms(GetParam().axioms);
  auto object_pairs = disjoint_object_properties(loaded);
  ASSERT_TRUE(object_pairs);
  EXPECT_EQ(pair_text(*object_pairs, '|'), GetParam().object_pairs);
  auto data_pairs = disjoint_data_properties(loaded);
  ASSERT_TRUE(data_pairs);
  EXPECT_EQ(pair_text(*data_pairs, '|'), GetParam().data_pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToldDisjoint,
    ::testing::Values(
        DisjointCase{"None", "SubObjectPropertyOf(:p :q) Declaration(DataProperty(:d))", "", ""},
        DisjointCase{"SmallerFirst", "DisjointObjectProperties(:q :p)", "p|q", ""},
        DisjointCase{"ThreeMembersAndARepeat",
                     "DisjointObjectProperties(:p :q :r) DisjointObjectProperties(:r :p)", "p|q p|r q|r", ""},
        DisjointCase{"InverseMemberLeftOut", "DisjointObjectProperties(:p ObjectInverseOf(:q) :r)", "p|r", ""},
        DisjointCase{"SameMemberTwice", "DisjointDataProperties(:d :d)", "", "d|d"},
        DisjointCase{"NotInheritedBySubProperties",
                     "SubObjectPropertyOf(:s :p) DisjointObjectProperties(:p :q) SubDataPropertyOf(:e :d) "
                     "DisjointDataProperties(:f :d)",
                     "p|q", "d|f"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
