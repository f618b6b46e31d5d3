// ABox saturation, link export and the look-ahead probe.
#include <gtest/gtest.h>

#include <algorithm>

#include "saturation/internal/engine.h"
#include "saturation/saturation.h"
#include "tbox.h"

namespace kelmon::sat {
namespace {

using testing::Tbox;

TEST(ElSaturateAbox, AssertionsTypeIndividualsAndRangesFollowSubRoles) {
  Tbox t;
  const Role r = t.r("r"), s = t.r("s");
  t.subrole(r, s);
  t.range(s, t.A("D"));
  t.sub(t.A("C"), t.A("E"));
  t.sub(t.some(r, t.A("D")), t.A("F"));
  t.type(t.A("C"), "a");
  t.fact(r, "a", "b");
  t.fact(t.inv("r"), "c", "d");
  t.ind("lonely");
  t.type(t.some(r, t.A("C")), "e");  // no named conjunct: adds nothing
  AboxElResult out = el_saturate_abox(t.o);
  auto row = [&](const char* name) {
    return out.result.subsumers.row_sorted(out.individual_ids.at(t.o.vocabulary.individuals.get(name)->id.v));
  };
  auto has = [&](const char* ind, const char* cls) {
    auto r = row(ind);
    return std::find(r.begin(), r.end(), t.id(cls)) != r.end();
  };
  EXPECT_TRUE(has("a", "C"));
  EXPECT_TRUE(has("a", "E"));
  EXPECT_TRUE(has("b", "D"));  // range of the super-role
  EXPECT_TRUE(has("a", "F"));  // ∃r.D through the asserted edge
  EXPECT_FALSE(has("d", "D"));  // the inverse assertion adds nothing
  EXPECT_FALSE(has("e", "C"));
  EXPECT_EQ(out.individual_ids.size(), t.o.vocabulary.individuals.size());
  const std::uint32_t lonely = out.individual_ids.at(t.o.vocabulary.individuals.get("lonely")->id.v);
  EXPECT_EQ(out.result.subsumers.row_sorted(lonely), std::vector<std::uint32_t>{lonely});
}

TEST(ElSaturateLinks, LinksAreSortedAndNominalsMapped) {
  Tbox t;
  const Role r = t.r("r"), s = t.r("s");
  t.sub(t.A("B"), t.some(s, t.A("C")));
  t.sub(t.A("A"), t.some(r, t.nominal("a")));
  t.sub(t.A("A"), t.A("B"));
  ElLinksResult out = el_saturate_links(t.o);
  EXPECT_TRUE(std::is_sorted(out.links.begin(), out.links.end()));
  EXPECT_TRUE(std::adjacent_find(out.links.begin(), out.links.end()) == out.links.end());
  const std::uint32_t a = t.id("A"), b = t.id("B"), c = t.id("C");
  EXPECT_TRUE(std::binary_search(out.links.begin(), out.links.end(), ElLink{b, s.id.v, c}));
  EXPECT_TRUE(std::binary_search(out.links.begin(), out.links.end(), ElLink{a, s.id.v, c}));
  ASSERT_EQ(out.nominals.size(), 1u);
  const auto [nominal, individual] = *out.nominals.begin();
  EXPECT_EQ(individual, 0u);
  EXPECT_TRUE(std::binary_search(out.links.begin(), out.links.end(), ElLink{a, r.id.v, nominal}));
  // The same on every run.
  EXPECT_EQ(el_saturate_links(t.o).links, out.links);
}

TEST(ElSaturateLinks, NoExistentialsNoLinks) {
  Tbox t;
  t.sub(t.A("A"), t.A("B"));
  EXPECT_TRUE(el_saturate_links(t.o).links.empty());
}

Tbox lookahead_tbox() {
  Tbox t;
  const Role r = t.r("r");
  t.disjoint({t.A("B"), t.A("C")});
  t.sub(t.some(r, t.A("D")), t.bot());
  t.sub(t.A("X"), t.bot());
  t.A("E");
  return t;
}

TEST(LookaheadEngine, ProbesAskWithoutChangingTheEngine) {
  Tbox t = lookahead_tbox();
  LookaheadEngine la = build_lookahead_engine(t.o);
  const std::uint32_t b = t.id("B"), c = t.id("C"), d = t.id("D"), e = t.id("E"), x = t.id("X");
  EXPECT_FALSE(la.probe_unsat({}, {}));
  EXPECT_FALSE(la.probe_unsat({b}, {}));
  EXPECT_TRUE(la.probe_unsat({b, c}, {}));
  EXPECT_TRUE(la.probe_unsat({x}, {}));
  EXPECT_TRUE(la.probe_unsat({e}, {{0, d}}));
  EXPECT_FALSE(la.probe_unsat({e}, {{0, e}}));
  // Two probes in a row: the first left no trace.
  EXPECT_FALSE(la.probe_unsat({b}, {}));
  EXPECT_FALSE(la.engine().result.unsat.test(la.probe()));
  EXPECT_FALSE(la.engine().result.subsumers.contains(la.probe(), b));
}

// Ids of another engine's id space (at or above the class count) and unknown
// roles are ignored: they can only weaken the probe, never prune wrongly.
TEST(LookaheadEngine, ForeignIdsAreIgnored) {
  Tbox t = lookahead_tbox();
  t.sub(t.A("B"), t.some(t.r("r"), t.A("E")));  // makes synthetic ids above the classes
  LookaheadEngine la = build_lookahead_engine(t.o);
  const std::uint32_t classes = static_cast<std::uint32_t>(t.o.vocabulary.classes.size());
  ASSERT_GT(la.probe(), classes - 1);
  std::vector<std::uint32_t> foreign;
  for (std::uint32_t id = classes; id <= la.probe() + 3; ++id) foreign.push_back(id);
  EXPECT_FALSE(la.probe_unsat(foreign, {}));
  std::vector<std::pair<std::uint32_t, std::uint32_t>> edges;
  for (std::uint32_t id : foreign) edges.emplace_back(0, id);
  edges.emplace_back(999, t.id("D"));  // no such role
  EXPECT_FALSE(la.probe_unsat({}, edges));
  // A synthetic id of the engine itself (the bottom-making ∃r.D is one) is
  // not a class of the caller either.
  for (const auto& [key, id] : la.engine().ids.existentials) EXPECT_FALSE(la.probe_unsat({id}, {}));
}

TEST(LookaheadEngine, FunctionalMergesInAProbeStayInTheProbe) {
  Tbox t;
  const Role f = t.r("f");
  t.functional(f);
  t.disjoint({t.A("B"), t.A("C")});
  t.A("E");
  LookaheadEngine la = build_lookahead_engine(t.o);
  const std::uint64_t ids_before = la.engine().concept_count;
  EXPECT_TRUE(la.probe_unsat({}, {{f.id.v, t.id("B")}, {f.id.v, t.id("C")}}));
  EXPECT_FALSE(la.probe_unsat({}, {{f.id.v, t.id("B")}, {f.id.v, t.id("E")}}));
  EXPECT_EQ(la.engine().concept_count, ids_before);
}

}  // namespace
}  // namespace kelmon::sat
