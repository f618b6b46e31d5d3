#include "reasoner/kernel/abox_saturation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/convert/convert_support.h"
#include "common/scoped_switch.h"
#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

std::string local(std::string_view iri) { return std::string(iri.substr(iri.find_last_of("/#") + 1)); }

// Edges as "r(a,b)", sorted.
std::vector<std::string> edge_texts(const InternalOntology& ir, const AboxSaturation& s) {
  std::vector<std::string> out;
  for (const AboxEdge& e : s.edges)
    out.push_back(local(ir.vocabulary.roles.name(e.role)) + "(" + local(ir.vocabulary.individuals.name(e.subject)) +
                  "," + local(ir.vocabulary.individuals.name(e.object)) + ")");
  std::sort(out.begin(), out.end());
  return out;
}

std::vector<std::string> same_texts(const InternalOntology& ir, const AboxSaturation& s) {
  std::vector<std::string> out;
  for (auto [a, b] : s.same_pairs)
    out.push_back(local(ir.vocabulary.individuals.name(a)) + "=" + local(ir.vocabulary.individuals.name(b)));
  return out;
}

struct SatCase {
  const char* name;
  const char* body;
  bool inconsistent;
  std::vector<std::string> edges;  // all edges when consistent
  std::vector<std::string> same;
};

// Types are shown through a clash: an individual asserted into a class
// disjoint from the expected type clashes only when the type is derived.
const SatCase kSatCases[] = {
    {"no_assertions", "SubClassOf(:A :B)", false, {}, {}},
    {"nominal_existential_in_class_assertion",
     "ClassAssertion(ObjectIntersectionOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:o))) :a)", false, {"r(a,o)"}, {}},
    {"nominal_existential_over_inverse_is_stored_reversed",
     "ClassAssertion(ObjectSomeValuesFrom(ObjectInverseOf(:r) ObjectOneOf(:o)) :a)", false, {"r(o,a)"}, {}},
    {"type_from_conjunct", "ClassAssertion(ObjectIntersectionOf(:A :B) :a) DisjointClasses(:B :P) ClassAssertion(:P :a)",
     true, {}, {}},
    {"told_super_chain", "SubClassOf(:A :B) SubClassOf(:B :C) ClassAssertion(:A :a) DisjointClasses(:C :P) ClassAssertion(:P :a)",
     true, {}, {}},
    {"equivalence_gives_supers_and_nominal_edges",
     "EquivalentClasses(:A ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r ObjectOneOf(:o)))) ClassAssertion(:A :a)",
     false, {"r(a,o)"}, {}},
    {"subclass_nominal_rule", "SubClassOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:o))) ClassAssertion(:A :a)", false,
     {"r(a,o)"}, {}},
    {"transitive", "TransitiveObjectProperty(:r) ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:r :b :c)",
     false, {"r(a,b)", "r(a,c)", "r(b,c)"}, {}},
    {"two_link_chain",
     "SubObjectPropertyOf(ObjectPropertyChain(:p :q) :s) ObjectPropertyAssertion(:p :a :b) ObjectPropertyAssertion(:q :b :c)",
     false, {"p(a,b)", "q(b,c)", "s(a,c)"}, {}},
    {"two_link_chain_through_inverse_links",
     "SubObjectPropertyOf(ObjectPropertyChain(ObjectInverseOf(:p) :q) :s) ObjectPropertyAssertion(:p :b :a) "
     "ObjectPropertyAssertion(:q :b :c)",
     false, {"p(b,a)", "q(b,c)", "s(a,c)"}, {}},
    {"sub_property", "SubObjectPropertyOf(:r :s) ObjectPropertyAssertion(:r :a :b)", false, {"r(a,b)", "s(a,b)"}, {}},
    {"sub_property_of_an_inverse", "SubObjectPropertyOf(:r ObjectInverseOf(:s)) ObjectPropertyAssertion(:r :a :b)",
     false, {"r(a,b)", "s(b,a)"}, {}},
    {"inverse_sub_property_reads_the_edge_backwards",
     "SubObjectPropertyOf(ObjectInverseOf(:r) :s) ObjectPropertyAssertion(:r :a :b)", false, {"r(a,b)", "s(b,a)"}, {}},
    {"inverse_properties", "InverseObjectProperties(:p :q) ObjectPropertyAssertion(:p :a :b)", false,
     {"p(a,b)", "q(b,a)"}, {}},
    {"symmetric", "SymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)", false, {"r(a,b)", "r(b,a)"}, {}},
    {"domain_and_range",
     "ObjectPropertyDomain(:r :A) ObjectPropertyRange(:r :B) ObjectPropertyAssertion(:r :a :b) DisjointClasses(:A :P) "
     "ClassAssertion(:P :a)",
     true, {}, {}},
    {"range_reaches_object",
     "ObjectPropertyRange(:r ObjectIntersectionOf(:B :C)) ObjectPropertyAssertion(:r :a :b) DisjointClasses(:C :P) "
     "ClassAssertion(:P :b)",
     true, {}, {}},
    {"range_of_inverse_role_types_the_subject",
     "ObjectPropertyRange(ObjectInverseOf(:r) :A) ObjectPropertyAssertion(:r :a :b) DisjointClasses(:A :P) "
     "ClassAssertion(:P :a)",
     true, {}, {}},
    {"domain_after_inverse_properties",
     "InverseObjectProperties(:p :q) ObjectPropertyDomain(:q :A) ObjectPropertyAssertion(:p :a :b) "
     "DisjointClasses(:A :P) ClassAssertion(:P :b)",
     true, {}, {}},
    {"same_individual_copies_edges", "SameIndividual(:a :b) ObjectPropertyAssertion(:r :a :c)", false,
     {"r(a,c)", "r(b,c)"}, {}},
    {"same_individual_copies_types",
     "SameIndividual(:a :b) ClassAssertion(:A :a) DisjointClasses(:A :P) ClassAssertion(:P :b)", true, {}, {}},
    {"same_individual_groups_join_through_a_shared_member",
     "SameIndividual(:a :b) SameIndividual(:b :c) ClassAssertion(:A :a) DisjointClasses(:A :P) ClassAssertion(:P :c)",
     true, {}, {}},
    {"functional_successors_are_merged_not_a_clash",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :a :b) ObjectPropertyAssertion(:f :a :c) "
     "ClassAssertion(:A :b) ClassAssertion(:B :c)",
     false, {"f(a,b)", "f(a,c)"}, {"b=c"}},
    {"functional_merge_meets_disjointness",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :a :b) ObjectPropertyAssertion(:f :a :c) "
     "ClassAssertion(:A :b) ClassAssertion(:B :c) DisjointClasses(:A :B)",
     true, {}, {}},
    {"inverse_functional_merges_subjects",
     "InverseFunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :b :a) ObjectPropertyAssertion(:f :c :a) "
     "ClassAssertion(:A :b) ClassAssertion(:B :c) DisjointClasses(:A :B)",
     true, {}, {}},
    {"inverse_functional_same_pairs",
     "InverseFunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :b :a) ObjectPropertyAssertion(:f :c :a)", false,
     {"f(b,a)", "f(c,a)"}, {"b=c"}},
    {"functional_marker_clash_without_successor",
     "FunctionalObjectProperty(:f) SubClassOf(:C ObjectIntersectionOf(ObjectSomeValuesFrom(:f :A) "
     "ObjectSomeValuesFrom(:f :B))) DisjointClasses(:A :B) ClassAssertion(:C :a)",
     true, {}, {}},
    {"marker_pair_over_non_functional_role_is_no_clash",
     "SubClassOf(:C ObjectIntersectionOf(ObjectSomeValuesFrom(:f :A) ObjectSomeValuesFrom(:f :B))) "
     "DisjointClasses(:A :B) ClassAssertion(:C :a)",
     false, {}, {}},
    {"man_and_woman_are_not_a_clash", "ClassAssertion(:Man :a) ClassAssertion(:Woman :a)", false, {}, {}},
    {"transitive_edges_feed_domains",
     "TransitiveObjectProperty(:r) ObjectPropertyRange(:r :A) ObjectPropertyAssertion(:r :a :b) "
     "ObjectPropertyAssertion(:r :b :c) DisjointClasses(:A :P) ClassAssertion(:P :c)",
     true, {}, {}},
};

class SaturateAbox : public ::testing::TestWithParam<std::tuple<SatCase, int>> {};

// Every case runs with the indexes and with each brute-force switch: the answers must agree.
TEST_P(SaturateAbox, DerivesEdgesSamePairsAndClashes) {
  const auto& [c, mode] = GetParam();
  ScopedSwitch disjoint(SwitchId::AboxDisjointBrute, mode == 1 ? std::optional<std::string>("") : std::nullopt);
  ScopedSwitch chain(SwitchId::AboxChainBrute, mode == 2 ? std::optional<std::string>("1") : std::nullopt);
  auto ir = convert_ofn(c.body);
  auto s = saturate_abox(ir, std::nullopt);
  EXPECT_FALSE(s.abandoned);
  EXPECT_EQ(s.inconsistent, c.inconsistent);
  EXPECT_EQ(edge_texts(ir, s), c.edges);
  EXPECT_EQ(same_texts(ir, s), c.same);
}

constexpr const char* kModes[] = {"indexed", "disjoint_brute", "chain_brute"};

INSTANTIATE_TEST_SUITE_P(Table, SaturateAbox,
                         ::testing::Combine(::testing::ValuesIn(kSatCases), ::testing::Values(0, 1, 2)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + kModes[std::get<1>(info.param)];
                         });

TEST(SaturateAbox, WithoutAssertionsEveryCounterIsZero) {
  auto ir = convert_ofn("SubClassOf(:A :B) TransitiveObjectProperty(:r) FunctionalObjectProperty(:f)");
  auto s = saturate_abox(ir, std::nullopt);
  EXPECT_FALSE(s.inconsistent);
  EXPECT_EQ(s.chain2_fires + s.chain3_fires + s.type_additions + s.edge_additions + s.sex_clash_candidates, 0u);
}

// Conversion splits chains of three or more links into two-link chains of
// auxiliary roles, so the longer chains are built here by hand.
struct ChainFixture : kelmon::testing::IrFixture {
  void assert_edge(const char* r_, const char* a, const char* b) { add(ObjectPropertyAssertion{r(r_), ind(a), ind(b)}); }
  void chain(std::vector<const char*> links, const char* sup) {
    Chain c;
    for (const char* l : links) c.roles.push_back(r(l));
    add(SubObjectPropertyOf{c, r(sup)});
  }
  std::vector<std::string> edges_of(const AboxSaturation& s) {
    std::vector<std::string> out;
    for (const AboxEdge& e : s.edges)
      out.push_back(std::string(ir.vocabulary.roles.name(e.role)) + "(" +
                    std::string(ir.vocabulary.individuals.name(e.subject)) + "," +
                    std::string(ir.vocabulary.individuals.name(e.object)) + ")");
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST(SaturateAbox, ThreeLinkChainsApplyAndLongerOnesDoNot) {
  for (int mode = 0; mode < 2; ++mode) {
    ScopedSwitch chain_brute(SwitchId::AboxChainBrute, mode == 1 ? std::optional<std::string>("") : std::nullopt);
    ChainFixture f;
    f.chain({"p", "q", "t"}, "s");
    f.chain({"p", "q", "t", "u"}, "w");
    f.assert_edge("p", "a", "b");
    f.assert_edge("q", "b", "c");
    f.assert_edge("t", "c", "d");
    f.assert_edge("u", "d", "e");
    auto s = saturate_abox(f.ir, std::nullopt);
    EXPECT_EQ(f.edges_of(s), (std::vector<std::string>{"p(a,b)", "q(b,c)", "s(a,d)", "t(c,d)", "u(d,e)"}));
    EXPECT_EQ(s.chain3_fires, 1u);
    EXPECT_EQ(s.chain2_fires, 0u);
  }
}

TEST(SaturateAbox, ThreeLinkChainThroughAnInverseLink) {
  ChainFixture f;
  Chain c{{f.r("p"), f.inv("q"), f.r("t")}};
  f.add(SubObjectPropertyOf{c, f.inv("s")});
  f.assert_edge("p", "a", "b");
  f.assert_edge("q", "c", "b");
  f.assert_edge("t", "c", "d");
  auto s = saturate_abox(f.ir, std::nullopt);
  EXPECT_EQ(f.edges_of(s), (std::vector<std::string>{"p(a,b)", "q(c,b)", "s(d,a)", "t(c,d)"}));
}

TEST(SaturateAbox, CountersCountEachNewFactOnce) {
  ChainFixture f;
  f.add(TransitiveRole{f.r("r")});
  f.assert_edge("r", "a", "b");
  f.assert_edge("r", "b", "c");
  f.chain({"p", "q", "t"}, "s");
  f.assert_edge("p", "a", "b");
  f.assert_edge("q", "b", "c");
  f.assert_edge("t", "c", "d");
  f.sub(f.A("A"), f.A("B"));
  f.add(ClassAssertion{f.A("A"), f.ind("a")});
  f.add(ClassAssertion{f.A("B"), f.ind("a")});
  auto s = saturate_abox(f.ir, std::nullopt);
  EXPECT_EQ(s.chain2_fires, 1u);  // r(a, c)
  EXPECT_EQ(s.chain3_fires, 1u);  // s(a, d)
  EXPECT_EQ(s.type_additions, 2u);
  EXPECT_EQ(s.edge_additions, 7u);
  EXPECT_EQ(s.edges.size(), 7u);
}

TEST(SaturateAbox, LongTransitiveChainIsClosed) {
  std::string body = "TransitiveObjectProperty(:r)";
  const int n = 40;
  for (int i = 0; i < n; ++i)
    body += " ObjectPropertyAssertion(:r :i" + std::to_string(i) + " :i" + std::to_string(i + 1) + ")";
  auto ir = convert_ofn(body);
  auto s = saturate_abox(ir, std::nullopt);
  EXPECT_EQ(s.edges.size(), std::size_t(n + 1) * n / 2);
  EXPECT_EQ(s.chain2_fires, s.edges.size() - n);
}

TEST(SaturateAbox, ManAndWomanTogetherAreCountedButChangeNothing) {
  auto ir = convert_ofn("ClassAssertion(:Man :a) ClassAssertion(:Woman :a) ClassAssertion(:Man :b)");
  auto s = saturate_abox(ir, std::nullopt);
  EXPECT_FALSE(s.inconsistent);
  EXPECT_EQ(s.sex_clash_candidates, 1u);
}

TEST(SaturateAbox, DeadlineInThePastAbandonsBeforeAnyItem) {
  auto ir = convert_ofn(
      "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :a :b) ObjectPropertyAssertion(:f :a :c) "
      "ClassAssertion(:A :b) ClassAssertion(:B :c) DisjointClasses(:A :B)");
  auto s = saturate_abox(ir, Clock::now() - std::chrono::seconds(1));
  EXPECT_TRUE(s.abandoned);
  EXPECT_FALSE(s.inconsistent);
  EXPECT_TRUE(s.edges.empty());
  EXPECT_TRUE(s.same_pairs.empty());
  EXPECT_EQ(s.type_additions + s.edge_additions + s.chain2_fires, 0u);
}

TEST(SaturateAbox, DeadlineAheadLetsTheRunFinish) {
  auto ir = convert_ofn("SymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)");
  auto s = saturate_abox(ir, Clock::now() + std::chrono::hours(1));
  EXPECT_FALSE(s.abandoned);
  EXPECT_EQ(s.edges.size(), 2u);
}

struct GateCase {
  const char* name;
  const char* body;
  std::optional<std::string> env;
  bool clash;
};

class AboxSaturationGate : public ::testing::TestWithParam<GateCase> {};

TEST_P(AboxSaturationGate, ReportsOnlyAFoundClash) {
  const auto& c = GetParam();
  ScopedSwitch guard(SwitchId::AboxSaturation, c.env);
  auto ir = convert_ofn(c.body);
  EXPECT_EQ(abox_saturation_clash(ir, std::nullopt), c.clash);
}

constexpr const char* kClash = "ClassAssertion(:A :a) ClassAssertion(:B :a) DisjointClasses(:A :B)";

INSTANTIATE_TEST_SUITE_P(
    Table, AboxSaturationGate,
    ::testing::Values(GateCase{"clash", kClash, std::nullopt, true},
                      GateCase{"on_for_other_values", kClash, "yes", true},
                      GateCase{"off_for_zero", kClash, "0", false},
                      GateCase{"off_for_empty", kClash, "", false},
                      GateCase{"no_clash", "ClassAssertion(:A :a) ClassAssertion(:B :b) DisjointClasses(:A :B)",
                               std::nullopt, false},
                      // Only a Man+Woman count: never a verdict.
                      GateCase{"man_woman", "ClassAssertion(:Man :a) ClassAssertion(:Woman :a)", std::nullopt, false},
                      // Without assertions the TBox is not looked at, unsatisfiable or not.
                      GateCase{"tbox_only", "SubClassOf(:A owl:Nothing)", std::nullopt, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboxSaturationGate, AnExpiredTimeoutIsNoVerdict) {
  auto ir = convert_ofn(kClash);
  EXPECT_FALSE(abox_saturation_clash(ir, std::chrono::nanoseconds(0)));
  EXPECT_TRUE(abox_saturation_clash(ir, std::chrono::hours(1)));
}

std::string traced(const char* body, Deadline deadline = std::nullopt) {
  ScopedSwitch trace(SwitchId::Trace, "1");
  auto ir = convert_ofn(body);
  ::testing::internal::CaptureStderr();
  saturate_abox(ir, deadline);
  return ::testing::internal::GetCapturedStderr();
}

TEST(SaturateAboxTrace, ClashAndSummaryLines) {
  EXPECT_EQ(traced(kClash),
            "[abox-sat] CLASH: http://x/a has both http://x/A and http://x/B\n"
            "[abox-sat] chain2_fires=0 chain3_fires=0 type_additions=2 edge_additions=0 sex_clash_candidates=0\n"
            "[abox-sat] individuals=1 total_edges=0\n");
}

TEST(SaturateAboxTrace, ManWomanLineIsADiagnosticOnly) {
  EXPECT_EQ(traced("ClassAssertion(:Man :a) ClassAssertion(:Woman :a)"),
            "[abox-sat] MAN+WOMAN clash candidate: http://x/a\n"
            "[abox-sat] chain2_fires=0 chain3_fires=0 type_additions=2 edge_additions=0 sex_clash_candidates=1\n"
            "[abox-sat] individuals=1 total_edges=0\n");
}

TEST(SaturateAboxTrace, FunctionalMarkerClashLine) {
  const std::string out = traced(
      "FunctionalObjectProperty(:f) SubClassOf(:C ObjectIntersectionOf(ObjectSomeValuesFrom(:f :A) "
      "ObjectSomeValuesFrom(:f :B))) DisjointClasses(:A :B) ClassAssertion(:C :a)");
  EXPECT_NE(out.find("[abox-sat] FUNCTIONAL-MARKER CLASH: http://x/a has ∃http://x/f.http://x/A ∩ "
                     "∃http://x/f.http://x/B with Functional + Disjoint\n"),
            std::string::npos)
      << out;
}

TEST(SaturateAboxTrace, DeadlineLineAndNothingAfter) {
  EXPECT_EQ(traced(kClash, Clock::now() - std::chrono::seconds(1)),
            "[abox-sat] DEADLINE: fixpoint abandoned after 0 type / 0 edge additions (no verdict)\n");
}

TEST(SaturateAboxTrace, WatchedIndividualShowsTypesAndDomains) {
  const std::string out = traced(
      "ObjectPropertyDomain(:r :Woman) ObjectPropertyAssertion(:r :kelmon-watch-individual :b) "
      "ClassAssertion(:Man :kelmon-watch-individual) ClassAssertion(:Man :other)");
  EXPECT_NE(out.find("[abox-sat] TYPE http://x/kelmon-watch-individual → http://x/Man (from type queue)\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("[abox-sat] DOMAIN-DERIVED http://x/kelmon-watch-individual : http://x/Woman via "
                     "http://x/r(http://x/kelmon-watch-individual, http://x/b)\n"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("TYPE http://x/other"), std::string::npos) << out;
}

TEST(SaturateAboxTrace, SilentUnlessExactlyOne) {
  ScopedSwitch trace(SwitchId::Trace, "true");
  auto ir = convert_ofn(kClash);
  ::testing::internal::CaptureStderr();
  saturate_abox(ir, std::nullopt);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace kelmon::reasoner

namespace kelmon::reasoner {
namespace {

// Random small ABoxes over every rule shape: the brute-force switches must give
// the indexed run's verdict, edges and same pairs.
TEST(SaturateAbox, BruteForceModesAgreeOnRandomAboxes) {
  std::mt19937 rng(11);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  int inconsistent = 0, with_same_pairs = 0;
  for (int round = 0; round < 150; ++round) {
    std::string body;
    auto c = [&] { return ":C" + std::to_string(pick(6)); };
    auto r = [&] { return ":r" + std::to_string(pick(4)); };
    auto i = [&] { return ":i" + std::to_string(pick(8)); };
    for (int k = 0; k < 3; ++k) body += "SubClassOf(" + c() + " " + c() + ") ";
    body += "DisjointClasses(" + c() + " " + c() + ") ";
    body += "SubClassOf(" + c() + " ObjectSomeValuesFrom(" + r() + " " + c() + ")) ";
    body += "FunctionalObjectProperty(" + r() + ") TransitiveObjectProperty(" + r() + ") ";
    body += "SubObjectPropertyOf(ObjectPropertyChain(" + r() + " " + r() + ") " + r() + ") ";
    body += "InverseObjectProperties(" + r() + " " + r() + ") ObjectPropertyDomain(" + r() + " " + c() + ") ";
    body += "ObjectPropertyRange(" + r() + " " + c() + ") SameIndividual(" + i() + " " + i() + ") ";
    for (int k = 0; k < 4; ++k) body += "ClassAssertion(" + c() + " " + i() + ") ";
    for (int k = 0; k < 8; ++k) body += "ObjectPropertyAssertion(" + r() + " " + i() + " " + i() + ") ";
    auto ir = convert_ofn(body);
    std::optional<AboxSaturation> first;
    for (int mode = 0; mode < 3; ++mode) {
      ScopedSwitch disjoint(SwitchId::AboxDisjointBrute, mode == 1 ? std::optional<std::string>("1") : std::nullopt);
      ScopedSwitch chain(SwitchId::AboxChainBrute, mode == 2 ? std::optional<std::string>("1") : std::nullopt);
      auto s = saturate_abox(ir, std::nullopt);
      std::sort(s.edges.begin(), s.edges.end());
      if (!first) {
        inconsistent += s.inconsistent;
        with_same_pairs += !s.same_pairs.empty();
        first = std::move(s);
        continue;
      }
      EXPECT_EQ(s.inconsistent, first->inconsistent) << body;
      EXPECT_EQ(s.edges, first->edges) << body;
      EXPECT_EQ(s.same_pairs, first->same_pairs) << body;
      EXPECT_EQ(s.chain2_fires, first->chain2_fires) << body;
    }
  }
  // Both outcomes occur, so the comparison covers clashes and merges alike.
  EXPECT_GT(inconsistent, 10);
  EXPECT_GT(150 - inconsistent, 10);
  EXPECT_GT(with_same_pairs, 10);
}

}  // namespace
}  // namespace kelmon::reasoner
