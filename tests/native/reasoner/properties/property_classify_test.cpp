#include "reasoner/properties/property_classify.h"

#include <gtest/gtest.h>

#include "reasoner/properties/property_test_support.h"

namespace kelmon::reasoner {
namespace {

using testing::load_axioms;
using testing::pair_text;
using testing::short_name;

std::string group_text(const std::vector<std::vector<std::string>>& groups) {
  std::string out;
  for (const auto& group : groups) {
    if (!out.empty()) out += ' ';
    out += '[';
    for (size_t i = 0; i < group.size(); ++i) out += (i ? "," : "") + short_name(group[i]);
    out += ']';
  }
  return out;
}

struct HierarchyCase {
  const char* name;
  const char* axioms;
  const char* groups;
  const char* pairs;
};

class Hierarchy : public ::testing::TestWithParam<HierarchyCase> {};

TEST_P(Hierarchy, GroupsAndDirectPairsOfTheClosure) {
  auto loaded = load_axioms(GetParam().axioms);
  PropertyHierarchy h = classify_properties(told_subobjectproperty_closure(loaded.axioms));
  EXPECT_EQ(group_text(h.groups), GetParam().groups);
  EXPECT_EQ(pair_text(h.pairs), GetParam().pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Hierarchy,
    ::testing::Values(
        HierarchyCase{"Empty", "Declaration(ObjectProperty(:p))", "", ""},
        HierarchyCase{"EquivalenceAlone", "EquivalentObjectProperties(:q :p)", "[p,q]", ""},
        HierarchyCase{"ChainOfTwoIsTwoDirectPairs", "SubObjectPropertyOf(:p :q) SubObjectPropertyOf(:q :r)", "",
                      "p<q q<r"},
        HierarchyCase{"GroupNamedBySmallest", "EquivalentObjectProperties(:b :a) SubObjectPropertyOf(:c :b)",
                      "[a,b]", "c<a"},
        HierarchyCase{"InversesMakeAGroup", "InverseObjectProperties(:p :q) InverseObjectProperties(:p :r)",
                      "[q,r]", ""},
        // Two routes to the top of a diamond: both halves direct, the long way round not.
        HierarchyCase{"Diamond",
                      "SubObjectPropertyOf(:a :b) SubObjectPropertyOf(:a :c) SubObjectPropertyOf(:b :d) "
                      "SubObjectPropertyOf(:c :d)",
                      "", "a<b a<c b<d c<d"},
        HierarchyCase{"GroupsSortedAsLists",
                      "EquivalentObjectProperties(:z :y) EquivalentObjectProperties(:c :x :b) "
                      "SubObjectPropertyOf(:y :b)",
                      "[b,c,x] [y,z]", "y<b"},
        HierarchyCase{"ShortcutThroughAGroupIsNotDirect",
                      "SubObjectPropertyOf(:a :m) EquivalentObjectProperties(:m :n) SubObjectPropertyOf(:n :z)",
                      "[m,n]", "a<m m<z"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClassifyProperties, RepeatedAndUnsortedInputGivesTheSameHierarchy) {
  PropertyPairs pairs = {{"q", "p"}, {"r", "q"}, {"p", "q"}, {"r", "p"}, {"q", "p"}};
  PropertyHierarchy h = classify_properties(pairs);
  EXPECT_EQ(group_text(h.groups), "[p,q]");
  EXPECT_EQ(pair_text(h.pairs), "r<p");
}

}  // namespace
}  // namespace kelmon::reasoner
