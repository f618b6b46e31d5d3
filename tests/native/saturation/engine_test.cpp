// The engine's own operations over hand-made rule bases.
#include "saturation/internal/engine.h"

#include <gtest/gtest.h>

#include "tbox.h"

namespace kelmon::sat {
namespace {

ElEngine engine_of(u64 classes, RuleBase rules, std::size_t roles = 1) {
  SyntheticIds ids(static_cast<u32>(classes));
  std::vector<std::vector<u32>> supers(roles);
  for (std::size_t r = 0; r < roles; ++r) supers[r] = {static_cast<u32>(r)};
  return ElEngine(classes, classes, std::move(rules), std::move(ids), std::move(supers), false, nullptr);
}

TEST(ElEngine, EmptyEngineRunsAtOnce) {
  for (bool top_is_bottom : {false, true}) {
    RuleBase rules;
    rules.top_is_bottom = top_is_bottom;
    ElEngine e = engine_of(0, std::move(rules), 0);
    e.seed();
    EXPECT_FALSE(e.step());
    e.finish_flags();
    EXPECT_FALSE(e.result.inconsistent);
    EXPECT_EQ(e.result.top_is_bottom, top_is_bottom);
  }
}

TEST(ElEngine, ALinkAddedTwiceIsNewOnce) {
  ElEngine e = engine_of(3, RuleBase{});
  EXPECT_TRUE(e.add_link(ElLink{0, 0, 1}, std::nullopt));
  EXPECT_FALSE(e.add_link(ElLink{0, 0, 1}, std::nullopt));
  EXPECT_EQ(e.links.size(), 1u);
  EXPECT_EQ(e.links_by_source[0], std::vector<u64>{0});
  EXPECT_EQ(e.links_by_target[1], std::vector<u64>{0});
}

// Copies go to every subsumee of the source: with proofs depth first, lower
// ids first, each copy recording the link it was copied from; without, in one
// ascending pass over the source's subsumees.
TEST(ElEngine, LinksAreCopiedDownToEverySubsumee) {
  for (bool proof : {false, true}) {
    RuleBase rules;
    rules.told = {{1, 0}, {2, 0}, {3, 1}};
    SyntheticIds ids(5);
    ElEngine e(5, 5, std::move(rules), std::move(ids), {{0}}, proof, proof ? std::make_unique<ProofStore>() : nullptr);
    e.seed();
    e.run();
    const std::size_t before = e.links.size();
    ASSERT_TRUE(e.add_link(ElLink{0, 0, 4}, std::nullopt));
    std::vector<u32> sources;
    for (std::size_t i = before; i < e.links.size(); ++i) {
      sources.push_back(e.links[i].source);
      EXPECT_EQ(e.link_is_copy[i], i == before ? 0 : 1) << "link " << i;
    }
    EXPECT_EQ(sources, proof ? (std::vector<u32>{0, 1, 3, 2}) : (std::vector<u32>{0, 1, 2, 3})) << "proof " << proof;
    if (proof) {
      auto d = e.proof->derivations.find(Fact::link(3, 0, 4));
      ASSERT_NE(d, e.proof->derivations.end());
      EXPECT_EQ(d->second.premises.back(), Fact::link(1, 0, 4));
    }
  }
}

// A chain of subsumees: every id below the source receives the link.
TEST(ElEngine, SubsumeeChainsReceiveTheLink) {
  const u32 n = 300;
  RuleBase rules;
  for (u32 i = 1; i < n; ++i) rules.told.emplace_back(i, i - 1);
  rules.link_rules.push_back(LinkRule{0, 0, 0});
  ElEngine e = engine_of(n, std::move(rules));
  e.seed();
  // Record the chain's subsumees first (pairs are processed before links).
  while (!e.pair_queue.empty()) e.step();
  e.add_link(ElLink{0, 0, 1}, std::nullopt);
  EXPECT_TRUE(e.link_set.contains(ElLink{n - 1, 0, 1}));
}

TEST(ElEngine, AddConjunctionMakesOneIdPerSet) {
  ElEngine e = engine_of(3, RuleBase{});
  e.seed();
  u32 one = e.add_conjunction({1});
  EXPECT_NE(one, 1u);
  EXPECT_EQ(e.add_conjunction({1, 1}), one);
  u32 pair = e.add_conjunction({2, 1});
  EXPECT_EQ(e.add_conjunction({1, 2}), pair);
  EXPECT_EQ(e.concept_count, 5u);
  EXPECT_EQ(e.conjunct_set(pair), (std::vector<u32>{1, 2}));
  EXPECT_EQ(e.conjunct_set(0), std::vector<u32>{0});
  e.run();
  // {1} is a conjunction of the pair's conjuncts, so the pair lies below it.
  EXPECT_EQ(e.result.subsumers.row_sorted(pair), (std::vector<u32>{1, 2, one, pair}));
  // An existing set enqueues nothing.
  e.add_conjunction({1, 2});
  EXPECT_FALSE(e.step());
}

TEST(ElEngine, RunTimeConjunctionsGetTheGlobalSubsumers) {
  RuleBase rules;
  rules.global_subsumers = {0};
  ElEngine e = engine_of(3, std::move(rules));
  e.seed();
  e.run();
  u32 m = e.add_conjunction({1, 2});
  e.run();
  EXPECT_TRUE(e.result.subsumers.contains(m, 0));
}

TEST(ElEngine, WatchesSharingARefuterKeepTheLastWatch) {
  RuleBase rules;
  rules.unions[0] = {{1, 2}, {1, 3}};
  ElEngine e = engine_of(4, std::move(rules));
  e.seed();
  ASSERT_EQ(e.watches.size(), 2u);
  EXPECT_EQ(e.watches[0].refuters[0], e.watches[1].refuters[0]);
  EXPECT_EQ(e.watch_of.at(e.watches[0].refuters[0]), 1u);
}

TEST(ElEngine, ProcessingAnUnsatIdAgainChangesNothing) {
  ElEngine e = engine_of(2, RuleBase{});
  e.seed();
  e.run();
  e.process_bottom(1);
  EXPECT_TRUE(e.result.unsat.test(1));
  e.process_bottom(1);
  EXPECT_FALSE(e.step());
}

}  // namespace
}  // namespace kelmon::sat
