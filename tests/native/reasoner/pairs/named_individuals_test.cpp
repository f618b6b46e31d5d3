#include "reasoner/pairs/named_individuals.h"

#include <gtest/gtest.h>

namespace kelmon::reasoner {
namespace {

TEST(NamedIndividuals, ByteOrderWithoutAnonymousOnes) {
  Vocabulary v;
  v.individuals.intern("http://x/b");
  v.individuals.intern("urn:kelmon-anon:n1");
  v.individuals.intern("http://x/B");
  v.individuals.intern("urn:kelmon-anon");  // too short to be an anonymous name
  v.individuals.intern("http://x/a");
  const std::vector<NamedIndividual> expected = {{IndividualId{2}, "http://x/B"},
                                                 {IndividualId{4}, "http://x/a"},
                                                 {IndividualId{0}, "http://x/b"},
                                                 {IndividualId{3}, "urn:kelmon-anon"}};
  EXPECT_EQ(named_individuals(v), expected);
}

TEST(SameIndividualGroups, DropsSingletonsAndSortsMembersAndGroups) {
  GroupMap map;
  map[7] = {"d", "c"};
  map[1] = {"z"};
  map[3] = {"b", "e", "a"};
  map[4] = {"b", "d"};
  const std::vector<std::vector<std::string>> expected = {{"a", "b", "e"}, {"b", "d"}, {"c", "d"}};
  EXPECT_EQ(same_individual_groups(std::move(map)), expected);
  EXPECT_TRUE(same_individual_groups({}).empty());
}

}  // namespace
}  // namespace kelmon::reasoner
