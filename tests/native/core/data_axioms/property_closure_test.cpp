#include <gtest/gtest.h>

#include "core/data_axioms/property_closure.h"

namespace kelmon {
namespace {

TEST(PropertyClosureSets, follows_chains_from_sub_to_super) {
  const auto closure = property_closure_sets({{"a", "b"}, {"b", "c"}});
  EXPECT_EQ(closure, (ClosureSets{{"a", {"a", "b", "c"}}, {"b", {"b", "c"}}, {"c", {"c"}}}));
}

TEST(PropertyClosureSets, gives_cycles_equal_entries) {
  EXPECT_EQ(property_closure_sets({{"a", "b"}, {"b", "a"}}), (ClosureSets{{"a", {"a", "b"}}, {"b", {"a", "b"}}}));
}

TEST(PropertyClosureSets, reaches_past_pairs_listed_in_reverse_chain_order) {
  // The pass over (c, d) comes last, so a needs a second pass to see d.
  const auto closure = property_closure_sets({{"a", "b"}, {"b", "c"}, {"c", "d"}});
  EXPECT_EQ(closure.at("a"), (IriSet{"a", "b", "c", "d"}));
}

TEST(PropertyClosureSets, empty_list_gives_empty_map) { EXPECT_TRUE(property_closure_sets({}).empty()); }

TEST(Reaches, counts_the_property_itself_without_an_entry) {
  const auto closure = property_closure_sets({{"q", "p"}});
  EXPECT_TRUE(reaches(closure, "q", "p"));
  EXPECT_TRUE(reaches(closure, "z", "z"));
  EXPECT_FALSE(reaches(closure, "p", "q"));
  EXPECT_FALSE(reaches(closure, "z", "p"));
}

}  // namespace
}  // namespace kelmon
