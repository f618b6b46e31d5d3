#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "common/invariant.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using testing::IrFixture;
using testing::to_vector;

TEST(ToldTables, NoAxiomsGiveReflexiveRows) {
  IrFixture f;
  f.classes({"A", "B", "C"});
  ToldTables t = ToldTables::build(f.ir);
  ASSERT_EQ(t.class_count(), 3u);
  for (std::uint32_t c = 0; c < 3; ++c) {
    EXPECT_EQ(to_vector(t.supers[ClassId{c}]), std::vector<ClassId>{ClassId{c}});
    EXPECT_EQ(to_vector(t.subs[ClassId{c}]), std::vector<ClassId>{ClassId{c}});
    EXPECT_TRUE(t.disjoint[ClassId{c}].empty());
  }
  EXPECT_THROW(t.supers[ClassId{3}], InvariantFailure);
  EXPECT_THROW(t.are_disjoint(ClassId{3}, ClassId{0}), InvariantFailure);
}

TEST(ToldTables, ChainsCloseTransitively) {
  IrFixture f;
  ConceptId c = f.A("C"), a = f.A("A"), b = f.A("B");  // ids: C=0, A=1, B=2
  f.sub(a, b);
  f.sub(b, c);
  ToldTables t = ToldTables::build(f.ir);
  EXPECT_EQ(to_vector(t.supers[f.cid("A")]), f.classes({"C", "A", "B"})) << "ascending by id";
  EXPECT_EQ(to_vector(t.subs[f.cid("C")]), f.classes({"C", "A", "B"}));
  EXPECT_EQ(to_vector(t.subs[f.cid("A")]), f.classes({"A"}));
}

TEST(ToldTables, EquivalenceIgnoresComplexMembersAndCyclesShareRows) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C"), d = f.A("D"), e = f.A("E");
  f.add(EquivalentClasses{{a, b, f.some(f.r("r"), c)}});
  f.sub(d, e);
  f.sub(e, d);
  ToldTables t = ToldTables::build(f.ir);
  EXPECT_EQ(to_vector(t.supers[f.cid("A")]), f.classes({"A", "B"}));
  EXPECT_EQ(to_vector(t.supers[f.cid("B")]), f.classes({"A", "B"}));
  EXPECT_EQ(to_vector(t.supers[f.cid("C")]), f.classes({"C"}));
  EXPECT_EQ(to_vector(t.supers[f.cid("D")]), to_vector(t.supers[f.cid("E")]));
}

TEST(ToldTables, DisjointUnionGivesPartToWholeEdgesAndPairwiseDisjointness) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B");
  f.cid("C");
  f.add(DisjointUnion{f.cid("C"), {a, b}});
  ToldTables t = ToldTables::build(f.ir);
  EXPECT_EQ(to_vector(t.supers[f.cid("A")]), f.classes({"A", "C"}));
  EXPECT_EQ(to_vector(t.supers[f.cid("C")]), f.classes({"C"}));
  EXPECT_EQ(to_vector(t.disjoint[f.cid("A")]), f.classes({"B"}));
  EXPECT_EQ(to_vector(t.disjoint[f.cid("B")]), f.classes({"A"}));
  EXPECT_TRUE(t.disjoint[f.cid("C")].empty());
  EXPECT_TRUE(t.are_disjoint(f.cid("A"), f.cid("B")));
  EXPECT_FALSE(t.are_disjoint(f.cid("A"), f.cid("C")));
}

struct DisjointCase {
  const char* name;
  void (*build)(IrFixture&);
  std::vector<std::pair<const char*, const char*>> pairs;  // expected disjoint pairs (each listed once)
};

class ToldDisjointTest : public ::testing::TestWithParam<DisjointCase> {};

TEST_P(ToldDisjointTest, Pairs) {
  IrFixture f;
  f.classes({"A", "B", "D"});
  GetParam().build(f);
  ToldTables t = ToldTables::build(f.ir);
  std::size_t expected_entries = 0;
  for (auto [x, y] : GetParam().pairs) {
    EXPECT_TRUE(t.are_disjoint(f.cid(x), f.cid(y))) << x << " " << y;
    EXPECT_TRUE(t.are_disjoint(f.cid(y), f.cid(x))) << y << " " << x;
    expected_entries += std::string(x) == y ? 1 : 2;
  }
  std::size_t entries = 0;
  for (std::uint32_t c = 0; c < t.class_count(); ++c) entries += t.disjoint[ClassId{c}].size();
  EXPECT_EQ(entries, expected_entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ToldDisjointTest,
    ::testing::Values(
        DisjointCase{"and_of_two_into_bottom",
                     [](IrFixture& f) { f.sub(f.and_({f.A("A"), f.A("B")}), f.bot()); },
                     {{"A", "B"}}},
        DisjointCase{"and_of_three_into_bottom_gives_nothing",
                     [](IrFixture& f) { f.sub(f.and_({f.A("A"), f.A("B"), f.A("D")}), f.bot()); },
                     {}},
        DisjointCase{"sub_of_negation", [](IrFixture& f) { f.sub(f.A("A"), f.no(f.A("B"))); }, {{"A", "B"}}},
        DisjointCase{"self_negation_puts_class_in_own_row", [](IrFixture& f) { f.sub(f.A("A"), f.no(f.A("A"))); },
                     {{"A", "A"}}},
        DisjointCase{"disjoint_classes_pairs_ignoring_complex",
                     [](IrFixture& f) {
                       f.add(DisjointClasses{{f.A("A"), f.some(f.r("r"), f.A("D")), f.A("B"), f.A("D")}});
                     },
                     {{"A", "B"}, {"A", "D"}, {"B", "D"}}},
        DisjointCase{"class_listed_twice", [](IrFixture& f) { f.add(DisjointClasses{{f.A("A"), f.A("A")}}); },
                     {{"A", "A"}}},
        DisjointCase{"negated_complex_gives_nothing",
                     [](IrFixture& f) { f.sub(f.A("A"), f.no(f.some(f.r("r"), f.A("B")))); },
                     {}},
        DisjointCase{"inclusion_into_and_gives_no_edge_and_no_pair",
                     [](IrFixture& f) { f.sub(f.A("A"), f.and_({f.A("B"), f.A("D")})); },
                     {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToldTables, InclusionIntoConjunctionGivesNoEdge) {
  IrFixture f;
  f.sub(f.A("A"), f.and_({f.A("B"), f.A("C")}));
  ToldTables t = ToldTables::build(f.ir);
  EXPECT_EQ(to_vector(t.supers[f.cid("A")]), f.classes({"A"}));
}

TEST(ToldTables, InvalidIdsAreInvariantFailures) {
  IrFixture f;
  ConceptId a = f.A("A");
  f.add(SubClassOf{a, ConceptId{50}});
  EXPECT_THROW(ToldTables::build(f.ir), InvariantFailure);
  IrFixture g;
  g.A("A");
  ConceptId ghost = g.ir.concepts.intern(Atomic{ClassId{9}});  // a class the vocabulary does not have
  g.sub(g.A("A"), ghost);
  EXPECT_THROW(ToldTables::build(g.ir), InvariantFailure);
}

TEST(ToldTables, RowsAreIndependentOfAxiomOrder) {
  IrFixture f;
  std::vector<ConceptId> cs;
  for (int i = 0; i < 12; ++i) cs.push_back(f.A("C" + std::to_string(i)));
  for (int i = 0; i + 1 < 12; i += 2) f.sub(cs[i], cs[i + 1]);
  f.sub(cs[1], cs[4]);
  f.sub(cs[5], cs[0]);
  f.add(EquivalentClasses{{cs[7], cs[8]}});
  f.add(DisjointUnion{ClassId{11}, {cs[9], cs[10], cs[2]}});
  f.add(DisjointClasses{{cs[3], cs[6]}});
  ToldTables want = ToldTables::build(f.ir);
  std::mt19937 rng(3);
  for (int round = 0; round < 10; ++round) {
    std::shuffle(f.ir.axioms.begin(), f.ir.axioms.end(), rng);
    ToldTables got = ToldTables::build(f.ir);
    for (std::uint32_t c = 0; c < 12; ++c) {
      ASSERT_EQ(to_vector(got.supers[ClassId{c}]), to_vector(want.supers[ClassId{c}]));
      ASSERT_EQ(to_vector(got.subs[ClassId{c}]), to_vector(want.subs[ClassId{c}]));
      ASSERT_EQ(to_vector(got.disjoint[ClassId{c}]), to_vector(want.disjoint[ClassId{c}]));
    }
  }
  // supers and subs are each other's transpose.
  for (std::uint32_t c = 0; c < 12; ++c)
    for (ClassId d : want.supers[ClassId{c}]) EXPECT_TRUE(want.subs.contains(d, ClassId{c}));
}

TEST(Definitions, FirstQualifyingAxiomWins) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B");
  ConceptId x = f.some(f.r("r"), b);
  ConceptId y = f.all(f.r("r"), b);
  f.add(EquivalentClasses{{a, b}});          // two atomic members: skipped
  f.add(EquivalentClasses{{a, x, y}});       // three members: skipped
  f.add(EquivalentClasses{{x, a}});          // atomic second: qualifies
  f.add(EquivalentClasses{{a, y}});          // later: loses
  f.add(EquivalentClasses{{x, y}});          // no atomic: skipped
  Definitions d = build_definitions(f.ir);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[f.cid("A")], x);
  EXPECT_FALSE(d[f.cid("B")].has_value());
  EXPECT_THROW(d[ClassId{2}], InvariantFailure);
}

TEST(ClassSignature, SortedAndDuplicateFree) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B");
  Axiom ax = SubClassOf{f.some(f.r("r"), a), f.or_({b, f.no(a)})};
  EXPECT_EQ(axiom_class_signature(ax, f.ir.concepts), f.classes({"A", "B"}));
  f.cid("C");
  Axiom du = DisjointUnion{f.cid("C"), {b}};
  EXPECT_EQ(axiom_class_signature(du, f.ir.concepts), f.classes({"B", "C"}));
  EXPECT_TRUE(axiom_class_signature(Axiom{TransitiveRole{f.r("r")}}, f.ir.concepts).empty());
  std::vector<ClassId> out{ClassId{1}, ClassId{1}};
  axiom_class_signature(ClassAssertion{a, f.ind("i")}, f.ir.concepts, out);
  EXPECT_EQ(out, f.classes({"A", "B"})) << "the whole list is sorted and deduplicated";
}

TEST(ClassSignature, ConceptWalkVisitsEachNodeOnceInOrder) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
  ConceptId x = f.ir.concepts.intern(And{{f.some(f.r("r"), c), b, f.all(f.r("r"), c), a}});
  std::vector<ClassId> out;
  concept_class_signature(x, f.ir.concepts, out);
  EXPECT_EQ(out, f.classes({"C", "B", "A"})) << "list order, shared C once, not sorted";
}

TEST(ClassSignature, HundredThousandDeepConcept) {
  IrFixture f;
  ConceptId x = f.A("A");
  for (int i = 0; i < 100000; ++i) x = (i % 2) ? f.some(f.r("r"), x) : f.and_({x, f.no(f.A("B"))});
  std::vector<ClassId> out = axiom_class_signature(SubClassOf{x, f.top()}, f.ir.concepts);
  EXPECT_EQ(out, f.classes({"A", "B"}));
}

}  // namespace
}  // namespace kelmon
