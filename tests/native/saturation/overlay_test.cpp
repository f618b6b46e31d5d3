// The layered containers a look-ahead probe puts over a finished engine.
#include "saturation/internal/overlay.h"

#include <gtest/gtest.h>

#include "common/invariant.h"
#include "saturation/internal/engine.h"

namespace kelmon::sat {
namespace {

using List = std::vector<u32>;

TEST(IdLists, LayerReadsTheBaseAndKeepsItsWritesApart) {
  IdLists<u32> base;
  base.assign(3);
  base.push(0, 10);
  base.push(2, 30);
  IdLists<u32> layer = IdLists<u32>::layer_over(base);
  EXPECT_EQ(layer[0], List{10});
  layer.push(0, 11);
  layer.push(1, 21);
  layer.resize(5);
  layer.push(4, 41);
  EXPECT_EQ(layer[0], (List{10, 11}));
  EXPECT_EQ(layer[1], List{21});
  EXPECT_EQ(layer[2], List{30});
  EXPECT_EQ(layer[3], List{});
  EXPECT_EQ(layer[4], List{41});
  EXPECT_EQ(layer.size(), 5u);
  // The base saw none of it.
  EXPECT_EQ(base[0], List{10});
  EXPECT_EQ(base[1], List{});
  EXPECT_EQ(base.size(), 3u);
  EXPECT_THROW((void)layer[5], InvariantFailure);
  EXPECT_THROW(layer.push(5, 0), InvariantFailure);
}

// A list read from a layer stays valid while other ids' lists are written.
TEST(IdLists, ListsReadFromALayerStayValidWhileOthersGrow) {
  IdLists<u32> base;
  base.assign(1000);
  IdLists<u32> layer = IdLists<u32>::layer_over(base);
  layer.push(7, 1);
  const List& seven = layer[7];
  for (u32 id = 0; id < 1000; ++id)
    if (id != 7) layer.push(id, id);
  EXPECT_EQ(seven, List{1});
  EXPECT_EQ(&seven, &layer[7]);
}

TEST(AppendLog, LayerContinuesTheBaseIndices) {
  AppendLog<ElLink> base;
  base.push_back(ElLink{1, 0, 2});
  AppendLog<ElLink> layer = AppendLog<ElLink>::layer_over(base);
  layer.push_back(ElLink{3, 0, 4});
  EXPECT_EQ(layer.size(), 2u);
  EXPECT_EQ(layer[0], (ElLink{1, 0, 2}));
  EXPECT_EQ(layer.at(1), (ElLink{3, 0, 4}));
  EXPECT_EQ(layer.to_vector(), (std::vector<ElLink>{{1, 0, 2}, {3, 0, 4}}));
  EXPECT_EQ(base.size(), 1u);
  EXPECT_THROW((void)layer.at(2), InvariantFailure);
}

TEST(GrowingSet, LayerRefusesWhatTheBaseHolds) {
  GrowingSet<ElLink, ElLinkHash> base;
  EXPECT_TRUE(base.insert(ElLink{1, 0, 2}));
  GrowingSet<ElLink, ElLinkHash> layer = GrowingSet<ElLink, ElLinkHash>::layer_over(base);
  EXPECT_TRUE(layer.contains(ElLink{1, 0, 2}));
  EXPECT_FALSE(layer.insert(ElLink{1, 0, 2}));
  EXPECT_TRUE(layer.insert(ElLink{5, 0, 6}));
  EXPECT_FALSE(layer.insert(ElLink{5, 0, 6}));
  EXPECT_TRUE(layer.contains(ElLink{5, 0, 6}));
  EXPECT_FALSE(base.contains(ElLink{5, 0, 6}));
}

}  // namespace
}  // namespace kelmon::sat
