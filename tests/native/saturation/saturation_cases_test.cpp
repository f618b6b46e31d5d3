// End-to-end saturation of small hand-built TBoxes: every case is checked for
// the subsumers it must derive, those it must not, and its unsatisfiable
// classes, under each engine mode (plain, enqueue dedup, proof recording).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "saturation/proof_store.h"
#include "saturation/saturation.h"
#include "tbox.h"

namespace kelmon::sat {
namespace {

using kelmon::testing::ScopedSwitch;
using testing::Tbox;
using Pair = std::pair<std::string, std::string>;

struct Case {
  std::string name;
  std::function<void(Tbox&)> build;
  std::vector<Pair> holds;
  std::vector<Pair> absent = {};
  std::vector<std::string> unsat = {};
  std::vector<std::string> sat = {};
  bool top_is_bottom = false;
  bool inconsistent = false;
};

std::vector<Case> cases() {
  return {
      {"told_transitivity",
       [](Tbox& t) {
         t.sub(t.A("A"), t.A("B"));
         t.sub(t.A("B"), t.A("C"));
       },
       {{"A", "B"}, {"A", "C"}, {"B", "C"}, {"A", "A"}},
       {{"C", "A"}, {"B", "A"}},
       {},
       {"A", "B", "C"}},
      {"conjunction_on_the_left",
       [](Tbox& t) {
         t.sub(t.A("A"), t.A("B"));
         t.sub(t.A("A"), t.A("C"));
         t.sub(t.and_({t.A("B"), t.A("C")}), t.A("D"));
       },
       {{"A", "D"}},
       {{"B", "D"}, {"C", "D"}}},
      {"existential_on_the_left_through_filler_subsumer",
       [](Tbox& t) {
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.A("B2"));
         t.sub(t.some(t.r("r"), t.A("B2")), t.A("C"));
       },
       {{"A", "C"}},
       {{"B", "C"}}},
      {"existential_over_sub_role",
       [](Tbox& t) {
         t.subrole(t.r("r"), t.r("s"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.some(t.r("s"), t.A("B")), t.A("C"));
         t.sub(t.A("X"), t.some(t.r("s"), t.A("B")));
         t.sub(t.some(t.r("r"), t.A("B")), t.A("D"));
       },
       {{"A", "C"}, {"A", "D"}, {"X", "C"}},
       {{"X", "D"}}},
      {"equivalence_with_conjunction_and_existential",
       [](Tbox& t) {
         t.equiv({t.A("A"), t.and_({t.A("B"), t.some(t.r("r"), t.A("C"))})});
         t.sub(t.A("X"), t.A("B"));
         t.sub(t.A("X"), t.some(t.r("r"), t.A("C")));
       },
       {{"X", "A"}, {"A", "B"}},
       {{"B", "A"}}},
      {"unsatisfiability_propagates_down_and_back_over_links",
       [](Tbox& t) {
         t.sub(t.A("B"), t.bot());
         t.sub(t.A("A"), t.A("B"));
         t.sub(t.A("Y"), t.A("A"));
         t.sub(t.A("X"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("Z"), t.some(t.r("r"), t.A("Y2")));
       },
       {},
       {},
       {"A", "B", "X", "Y"},
       {"Z"}},
      {"told_disjointness",
       [](Tbox& t) {
         t.disjoint({t.A("B"), t.A("C")});
         t.sub(t.A("A"), t.A("B"));
         t.sub(t.A("A"), t.A("C"));
       },
       {},
       {},
       {"A"},
       {"B", "C"}},
      {"union_with_one_alternative_refuted_by_told_disjointness",
       [](Tbox& t) {
         t.sub(t.A("A"), t.or_({t.A("B"), t.A("C")}));
         t.disjoint({t.A("B"), t.A("D")});
         t.sub(t.A("A"), t.A("D"));
       },
       {{"A", "C"}},
       {{"A", "B"}},
       {},
       {"A"}},
      {"union_with_every_alternative_refuted",
       [](Tbox& t) {
         t.sub(t.A("A"), t.or_({t.A("B"), t.A("C")}));
         t.disjoint({t.A("B"), t.A("D")});
         t.disjoint({t.A("C"), t.A("D")});
         t.sub(t.A("A"), t.A("D"));
       },
       {},
       {},
       {"A"},
       {"B", "C", "D"}},
      {"union_alternative_refuted_by_bottom_conjunction",
       [](Tbox& t) {
         t.sub(t.A("A"), t.or_({t.A("B"), t.A("C")}));
         t.sub(t.and_({t.A("A"), t.A("B")}), t.bot());
       },
       {{"A", "C"}},
       {},
       {},
       {"A", "B"}},
      {"functional_role_merges_targets",
       [](Tbox& t) {
         t.functional(t.r("f"));
         t.sub(t.A("A"), t.some(t.r("f"), t.A("B")));
         t.sub(t.A("A"), t.some(t.r("f"), t.A("C")));
         t.sub(t.some(t.r("f"), t.and_({t.A("B"), t.A("C")})), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"functional_role_merge_clashes",
       [](Tbox& t) {
         t.functional(t.r("f"));
         t.disjoint({t.A("B"), t.A("C")});
         t.sub(t.A("A"), t.some(t.r("f"), t.A("B")));
         t.sub(t.A("A"), t.some(t.r("f"), t.A("C")));
         t.sub(t.A("E"), t.some(t.r("g"), t.A("B")));
         t.sub(t.A("E"), t.some(t.r("g"), t.A("C")));
       },
       {},
       {},
       {"A"},
       {"E", "B", "C"}},
      {"functional_super_role_merges_sub_role_targets",
       [](Tbox& t) {
         t.functional(t.r("f"));
         t.subrole(t.r("g"), t.r("f"));
         t.sub(t.A("A"), t.some(t.r("g"), t.A("B")));
         t.sub(t.A("A"), t.some(t.r("f"), t.A("C")));
         t.sub(t.some(t.r("g"), t.and_({t.A("B"), t.A("C")})), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"role_chain",
       [](Tbox& t) {
         t.chain(t.r("r"), t.r("s"), t.r("t"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.some(t.r("s"), t.A("C")));
         t.sub(t.some(t.r("t"), t.A("C")), t.A("D"));
       },
       {{"A", "D"}},
       {{"B", "D"}}},
      {"role_chain_axioms_in_the_other_order",
       [](Tbox& t) {
         t.sub(t.some(t.r("t"), t.A("C")), t.A("D"));
         t.sub(t.A("B"), t.some(t.r("s"), t.A("C")));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.chain(t.r("r"), t.r("s"), t.r("t"));
       },
       {{"A", "D"}},
       {{"B", "D"}}},
      {"role_chain_over_sub_roles_of_its_parts",
       [](Tbox& t) {
         t.chain(t.r("r"), t.r("s"), t.r("t"));
         t.subrole(t.r("r1"), t.r("r"));
         t.subrole(t.r("s1"), t.r("s"));
         t.sub(t.A("B"), t.some(t.r("s1"), t.A("C")));
         t.sub(t.A("A"), t.some(t.r("r1"), t.A("B")));
         t.sub(t.some(t.r("t"), t.A("C")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"transitive_role",
       [](Tbox& t) {
         t.transitive(t.r("r"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.some(t.r("r"), t.A("C")));
         t.sub(t.A("C"), t.some(t.r("r"), t.A("E")));
         t.sub(t.some(t.r("r"), t.A("E")), t.A("D"));
       },
       {{"A", "D"}, {"B", "D"}, {"C", "D"}},
       {{"E", "D"}}},
      {"transitive_role_axioms_in_the_other_order",
       [](Tbox& t) {
         t.sub(t.some(t.r("r"), t.A("E")), t.A("D"));
         t.sub(t.A("C"), t.some(t.r("r"), t.A("E")));
         t.sub(t.A("B"), t.some(t.r("r"), t.A("C")));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.transitive(t.r("r"));
       },
       {{"A", "D"}, {"B", "D"}},
       {{"E", "D"}}},
      {"domain_through_sub_role",
       [](Tbox& t) {
         t.domain(t.r("q"), t.A("D"));
         t.subrole(t.r("r"), t.r("q"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("X"), t.A("A"));
       },
       {{"A", "D"}, {"X", "D"}},
       {{"B", "D"}}},
      {"range_through_sub_role_types_the_filler",
       [](Tbox& t) {
         t.range(t.r("q"), t.A("R"));
         t.subrole(t.r("r"), t.r("q"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.some(t.r("r"), t.and_({t.A("B"), t.A("R")})), t.A("D"));
       },
       {{"A", "D"}},
       {{"B", "R"}}},
      {"inverse_domain_is_a_range",
       [](Tbox& t) {
         t.domain(t.inv("r"), t.and_({t.A("R1"), t.A("R2")}));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.some(t.r("r"), t.A("R2")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"range_of_chain_super_role_types_nested_filler",
       [](Tbox& t) {
         t.chain(t.r("r"), t.r("s"), t.r("t"));
         t.range(t.r("t"), t.A("C"));
         t.sub(t.A("A"), t.some(t.r("r"), t.some(t.r("s"), t.A("B"))));
         t.sub(t.some(t.r("t"), t.A("C")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"range_of_chain_super_role_types_chained_target",
       [](Tbox& t) {
         t.chain(t.r("r"), t.r("s"), t.r("t"));
         t.range(t.r("t"), t.A("C"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.some(t.r("s"), t.A("D")));
         t.sub(t.some(t.r("t"), t.A("C")), t.A("E"));
       },
       {{"A", "E"}},
       {{"B", "E"}, {"D", "C"}}},
      {"range_of_transitive_role_over_chained_links",
       [](Tbox& t) {
         t.transitive(t.r("r"));
         t.range(t.r("r"), t.A("C"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.some(t.r("r"), t.A("D")));
         t.sub(t.some(t.r("r"), t.and_({t.A("D"), t.A("C")})), t.A("E"));
       },
       {{"A", "E"}, {"B", "E"}},
       {{"D", "E"}}},
      {"empty_role_by_bottom_domain",
       [](Tbox& t) {
         t.domain(t.r("r"), t.bot());
         t.subrole(t.r("s"), t.r("r"));
         t.sub(t.A("A"), t.some(t.r("s"), t.A("B")));
         t.sub(t.A("X"), t.A("A"));
       },
       {},
       {},
       {"A", "X"},
       {"B"}},
      {"empty_role_by_gci",
       [](Tbox& t) {
         t.sub(t.some(t.r("r"), t.top()), t.bot());
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
       },
       {},
       {},
       {"A"},
       {"B"}},
      {"self_restriction_gives_domain_and_range",
       [](Tbox& t) {
         t.domain(t.r("r"), t.A("D"));
         t.range(t.r("r"), t.A("R"));
         t.sub(t.A("A"), t.self(t.r("r")));
       },
       {{"A", "D"}, {"A", "R"}},
       {}},
      {"at_most_one_and_nominal_successor_give_universal_over_nominals",
       [](Tbox& t) {
         t.sub(t.A("A"), t.max(1, t.r("r"), t.top()));
         t.sub(t.A("A"), t.some(t.r("r"), t.nominal("a")));
         t.sub(t.and_({t.A("C"), t.all(t.r("r"), t.or_({t.nominal("a"), t.nominal("b")}))}), t.A("D"));
         t.sub(t.A("A"), t.A("C"));
         t.sub(t.A("X"), t.some(t.r("r"), t.nominal("a")));
         t.sub(t.A("X"), t.A("C"));
       },
       {{"A", "D"}},
       {{"X", "D"}}},
      {"functional_role_and_nominal_successor_give_universal_over_nominals",
       [](Tbox& t) {
         t.functional(t.r("f"));
         t.sub(t.A("A"), t.some(t.r("f"), t.nominal("a")));
         t.sub(t.and_({t.A("A"), t.all(t.r("f"), t.nominal("a"))}), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"universal_monotonicity_over_told_pairs",
       [](Tbox& t) {
         t.sub(t.A("A"), t.A("B"));
         t.sub(t.A("X"), t.all(t.r("r"), t.A("A")));
         t.sub(t.A("X"), t.A("Y"));
         t.sub(t.and_({t.A("Y"), t.all(t.r("r"), t.A("B"))}), t.A("D"));
       },
       {{"X", "D"}},
       {{"Y", "D"}}},
      {"negation_on_the_right_is_disjointness",
       [](Tbox& t) {
         t.sub(t.A("A"), t.and_({t.A("B"), t.not_(t.A("C"))}));
         t.sub(t.A("X"), t.A("A"));
         t.sub(t.A("X"), t.A("C"));
       },
       {{"A", "B"}},
       {},
       {"X"},
       {"A", "C"}},
      {"existential_with_bottom_filler",
       [](Tbox& t) { t.sub(t.A("A"), t.some(t.r("r"), t.and_({t.A("B"), t.some(t.r("s"), t.bot())}))); },
       {},
       {},
       {"A"},
       {"B"}},
      {"at_least_one_is_an_existential",
       [](Tbox& t) {
         t.sub(t.A("A"), t.min(2, t.r("r"), t.A("B")));
         t.sub(t.some(t.r("r"), t.A("B")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"existential_union_on_the_left",
       [](Tbox& t) {
         t.sub(t.some(t.r("r"), t.or_({t.A("B"), t.A("C")})), t.A("D"));
         t.sub(t.A("X"), t.some(t.r("r"), t.A("C")));
         t.sub(t.and_({t.A("E"), t.some(t.r("r"), t.or_({t.A("B"), t.A("C")}))}), t.A("F"));
         t.sub(t.A("X"), t.A("E"));
       },
       {{"X", "D"}, {"X", "F"}},
       {}},
      {"existential_right_of_existential",
       [](Tbox& t) {
         t.sub(t.some(t.r("r"), t.A("B")), t.some(t.r("s"), t.A("C")));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.some(t.r("s"), t.A("C")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      // ⊤ anywhere inside the fragment.
      {"top_is_bottom",
       [](Tbox& t) {
         t.sub(t.top(), t.bot());
         t.A("A");
         t.A("B");
       },
       {},
       {},
       {"A", "B"},
       {},
       true,
       false},
      {"top_below_class_below_bottom_is_inconsistent",
       [](Tbox& t) {
         t.sub(t.top(), t.A("A"));
         t.sub(t.A("A"), t.bot());
         t.A("B");
       },
       {{"B", "A"}},
       {},
       {"A", "B"},
       {},
       false,
       true},
      {"top_example_a_top_filler_gets_global_subsumers",
       [](Tbox& t) {
         t.sub(t.top(), t.A("C"));
         t.sub(t.some(t.r("r"), t.A("C")), t.A("D"));
         t.sub(t.A("A"), t.some(t.r("r"), t.top()));
       },
       {{"A", "D"}, {"A", "C"}, {"D", "C"}},
       {{"C", "D"}}},
      {"top_example_b_synthetic_filler_gets_global_subsumers",
       [](Tbox& t) {
         t.sub(t.top(), t.A("C"));
         t.sub(t.some(t.r("r"), t.A("C")), t.A("D"));
         t.sub(t.A("A"), t.some(t.r("r"), t.some(t.r("s"), t.A("B"))));
       },
       {{"A", "D"}},
       {{"C", "D"}}},
      {"top_example_c_top_below_existential",
       [](Tbox& t) {
         t.sub(t.top(), t.some(t.r("r"), t.A("B")));
         t.sub(t.some(t.r("r"), t.A("B")), t.A("D"));
         t.A("A");
       },
       {{"A", "D"}, {"B", "D"}, {"D", "D"}},
       {{"A", "B"}}},
      {"top_example_d_nested_top_filler",
       [](Tbox& t) {
         t.sub(t.some(t.r("s"), t.top()), t.A("D"));
         t.sub(t.A("A"), t.some(t.r("s"), t.some(t.r("r"), t.top())));
       },
       {{"A", "D"}},
       {}},
      {"top_filler_lies_in_the_role_range",
       [](Tbox& t) {
         t.range(t.r("r"), t.A("C"));
         t.sub(t.A("A"), t.some(t.r("r"), t.top()));
         t.sub(t.some(t.r("r"), t.A("C")), t.A("D"));
       },
       {{"A", "D"}},
       {}},
      {"top_filler_in_conjunction_on_the_left",
       [](Tbox& t) {
         t.sub(t.and_({t.A("E"), t.some(t.r("r"), t.top())}), t.A("D"));
         t.sub(t.A("A"), t.A("E"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("X"), t.some(t.r("r"), t.A("B")));
       },
       {{"A", "D"}},
       {{"X", "D"}}},
      {"nested_top_filler_on_the_left",
       [](Tbox& t) {
         t.sub(t.some(t.r("r"), t.some(t.r("s"), t.top())), t.A("D"));
         t.sub(t.A("A"), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.some(t.r("s"), t.A("C")));
       },
       {{"A", "D"}},
       {{"B", "D"}}},
      {"top_below_empty_existential_is_inconsistent",
       [](Tbox& t) {
         t.sub(t.top(), t.some(t.r("r"), t.A("B")));
         t.sub(t.A("B"), t.bot());
         t.A("A");
       },
       {},
       {},
       {"A", "B"},
       {},
       false,
       true},
      {"top_below_existential_feeds_domain",
       [](Tbox& t) {
         t.sub(t.top(), t.and_({t.A("G"), t.some(t.r("r"), t.A("B"))}));
         t.domain(t.r("r"), t.A("D"));
         t.A("A");
       },
       {{"A", "G"}, {"A", "D"}, {"B", "D"}},
       {}},
  };
}

enum class Mode { Plain, Dedup, Proof };

class SaturationCase : public ::testing::TestWithParam<std::tuple<Case, Mode>> {};

TEST_P(SaturationCase, DerivesExactlyTheExpectedFacts) {
  const auto& [c, mode] = GetParam();
  ScopedSwitch dedup(SwitchId::SatEnqueueDedup, mode == Mode::Dedup ? std::optional<std::string>("1") : std::nullopt);
  ScopedSwitch proof(SwitchId::Proof, mode == Mode::Proof ? std::optional<std::string>("1") : std::nullopt);
  Tbox t;
  c.build(t);
  ElResult r = el_saturate_from_env(t.o);
  for (const auto& [x, y] : c.holds)
    EXPECT_TRUE(r.subsumers.contains(t.id(x), t.id(y))) << x << " should be below " << y;
  for (const auto& [x, y] : c.absent)
    EXPECT_FALSE(r.subsumers.contains(t.id(x), t.id(y))) << x << " must not be below " << y;
  for (const auto& x : c.unsat) EXPECT_TRUE(r.unsat.test(t.id(x))) << x << " should be unsatisfiable";
  for (const auto& x : c.sat) EXPECT_FALSE(r.unsat.test(t.id(x))) << x << " must stay satisfiable";
  EXPECT_EQ(r.top_is_bottom, c.top_is_bottom);
  EXPECT_EQ(r.inconsistent, c.inconsistent);
}

// The class rows and unsat bits are the same whatever the engine mode.
TEST_P(SaturationCase, ClassRowsDoNotDependOnMode) {
  const auto& [c, mode] = GetParam();
  Tbox t;
  c.build(t);
  ElResult plain = el_saturate(t.o, false).first;
  ScopedSwitch dedup(SwitchId::SatEnqueueDedup, mode == Mode::Dedup ? std::optional<std::string>("1") : std::nullopt);
  auto [other, store] = el_saturate(t.o, mode == Mode::Proof);
  EXPECT_EQ(store != nullptr, mode == Mode::Proof);
  const std::size_t n = t.o.vocabulary.classes.size();
  for (std::uint32_t x = 0; x < n; ++x) {
    std::vector<std::uint32_t> a, b;
    for (auto y : plain.subsumers.row_sorted(x))
      if (y < n) a.push_back(y);
    for (auto y : other.subsumers.row_sorted(x))
      if (y < n) b.push_back(y);
    EXPECT_EQ(a, b) << "row " << x;
    EXPECT_EQ(plain.unsat.test(x), other.unsat.test(x)) << "id " << x;
  }
  EXPECT_EQ(plain.inconsistent, other.inconsistent);
}

std::string case_name(const ::testing::TestParamInfo<std::tuple<Case, Mode>>& info) {
  static const char* const modes[] = {"plain", "dedup", "proof"};
  return std::get<0>(info.param).name + "_" + modes[static_cast<int>(std::get<1>(info.param))];
}

INSTANTIATE_TEST_SUITE_P(Tboxes, SaturationCase,
                         ::testing::Combine(::testing::ValuesIn(cases()),
                                            ::testing::Values(Mode::Plain, Mode::Dedup, Mode::Proof)),
                         case_name);

}  // namespace
}  // namespace kelmon::sat
