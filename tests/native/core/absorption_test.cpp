#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/absorption.h"
#include "core/nnf.h"
#include "common/scoped_switch.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using kelmon::testing::ScopedSwitch;
using testing::IrFixture;
using testing::render;
using Strings = std::vector<std::string>;

// The absorbed lists written out with names, in list order.
struct AbsorbedText {
  Strings unfold;
  Strings nominal;
  Strings records;  // "A: r F" guarded, "*: r F" unguarded
  Strings global;
  Strings disjunctions;
  friend bool operator==(const AbsorbedText&, const AbsorbedText&) = default;
};

std::ostream& operator<<(std::ostream& out, const Strings& list) {
  out << "[";
  for (const auto& s : list) out << " \"" << s << "\"";
  return out << " ]";
}
std::ostream& operator<<(std::ostream& out, const AbsorbedText& t) {
  return out << "\n  unfold " << t.unfold << "\n  nominal " << t.nominal << "\n  records " << t.records
             << "\n  global " << t.global << "\n  disjunctions " << t.disjunctions;
}

std::string role_name(const InternalOntology& ir, Role r) {
  std::string name(ir.vocabulary.roles.name(r.id));
  return r.is_named() ? name : "inv(" + name + ")";
}

AbsorbedText text_of(const InternalOntology& ir, const AbsorbedTbox& t) {
  AbsorbedText out;
  for (const UnfoldPair& p : t.unfold_pairs) {
    out.unfold.push_back(std::string(ir.vocabulary.classes.name(p.cls)) + " -> " + render(ir, p.consequence));
  }
  for (const NominalPair& p : t.nominal_pairs) {
    out.nominal.push_back(std::string(ir.vocabulary.individuals.name(p.individual)) + " -> " +
                          render(ir, p.consequence));
  }
  for (const RoleRule& r : t.all_records) {
    std::string guard = r.guard() ? std::string(ir.vocabulary.classes.name(*r.guard())) : "*";
    out.records.push_back(guard + ": " + role_name(ir, r.role) + " " + render(ir, r.filler));
  }
  for (ConceptId g : t.global_concepts) out.global.push_back(render(ir, g));
  for (ConceptId g : t.global_disjunctions) out.disjunctions.push_back(render(ir, g));
  return out;
}

AbsorbedTbox absorb(IrFixture& f) {
  std::vector<Axiom> nnf = nnf_axioms(f.ir);
  return absorb_tbox(nnf, f.ir.concepts);
}

struct ShapeCase {
  const char* name;
  std::function<void(IrFixture&)> build;
  AbsorbedText expected;
  std::optional<std::string> domain_switch = std::nullopt;
  std::optional<std::string> nominal_switch = std::nullopt;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class AbsorbShapeTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(AbsorbShapeTest, AbsorbsIntoTheExpectedLists) {
  const ShapeCase& c = GetParam();
  ScopedSwitch domain(SwitchId::DomainAbsorption, c.domain_switch);
  ScopedSwitch nominal(SwitchId::NominalExistsAbsorption, c.nominal_switch);
  IrFixture f;
  c.build(f);
  AbsorbedTbox t = absorb(f);
  EXPECT_EQ(text_of(f.ir, t), c.expected);
}

ShapeCase shape(const char* name, std::function<void(IrFixture&)> build, AbsorbedText expected) {
  return ShapeCase{name, std::move(build), std::move(expected)};
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, AbsorbShapeTest,
    ::testing::Values(
        shape("atomic_subclass", [](IrFixture& f) { f.sub(f.A("A"), f.A("B")); }, {{"A -> B"}, {}, {}, {}, {}}),
        // ¬A is interned before ¬B, so A guards the rule.
        shape("conjunction_guard_is_smallest_negation",
              [](IrFixture& f) {
                ConceptId a = f.A("A"), b = f.A("B");
                f.no(a);
                f.no(b);
                f.sub(f.and_({a, b}), f.A("C"));
              },
              {{"A -> Or(C Not(B))"}, {}, {}, {}, {}}),
        // The same GCI with ¬B interned first: B guards it, whatever the class ids.
        shape("conjunction_guard_follows_negation_id_not_class_id",
              [](IrFixture& f) {
                ConceptId a = f.A("A"), b = f.A("B");
                f.no(b);
                f.no(a);
                f.sub(f.and_({a, b}), f.A("C"));
              },
              {{"B -> Or(C Not(A))"}, {}, {}, {}, {}}),
        shape("union_subclass_splits", [](IrFixture& f) { f.sub(f.or_({f.A("A"), f.A("B")}), f.A("C")); },
              {{"A -> C", "B -> C"}, {}, {}, {}, {}}),
        shape("existential_subclass_goes_global",
              [](IrFixture& f) { f.sub(f.some(f.r("r"), f.A("A")), f.A("B")); },
              {{}, {}, {}, {"Or(All(r Not(A)) B)"}, {"Or(All(r Not(A)) B)"}}),
        shape("universal_consequence_becomes_guarded_record",
              [](IrFixture& f) { f.sub(f.A("A"), f.all(f.r("r"), f.A("B"))); }, {{}, {}, {"A: r B"}, {}, {}}),
        shape("range_becomes_unguarded_record",
              [](IrFixture& f) { f.add(ObjectPropertyRange{f.r("r"), f.A("B")}); }, {{}, {}, {"*: r B"}, {}, {}}),
        shape("domain_becomes_inverse_record",
              [](IrFixture& f) { f.add(ObjectPropertyDomain{f.r("r"), f.A("B")}); },
              {{}, {}, {"*: inv(r) B"}, {}, {}}),
        ShapeCase{"domain_stays_global_when_switched_off",
                  [](IrFixture& f) { f.add(ObjectPropertyDomain{f.r("r"), f.A("B")}); },
                  {{}, {}, {}, {"Or(All(r Bottom) B)"}, {"Or(All(r Bottom) B)"}},
                  "0"},
        ShapeCase{"domain_absorption_on_for_other_values",
                  [](IrFixture& f) { f.add(ObjectPropertyDomain{f.r("r"), f.A("B")}); },
                  {{}, {}, {"*: inv(r) B"}, {}, {}},
                  "00"},
        shape("at_most_zero_top_becomes_inverse_record_to_bottom",
              [](IrFixture& f) { f.sub(f.top(), f.max(0, f.r("r"), f.top())); },
              {{}, {}, {"*: inv(r) Bottom"}, {}, {}}),
        shape("existential_nominal_absorbed_into_nominal",
              [](IrFixture& f) { f.sub(f.some(f.r("r"), f.nom("o")), f.A("B")); },
              {{}, {"o -> All(inv(r) B)"}, {}, {}, {}}),
        ShapeCase{"existential_nominal_stays_global_when_switched_off",
                  [](IrFixture& f) { f.sub(f.some(f.r("r"), f.nom("o")), f.A("B")); },
                  {{}, {}, {}, {"Or(All(r Not({o})) B)"}, {"Or(All(r Not({o})) B)"}},
                  std::nullopt,
                  "0"},
        shape("at_most_zero_nominal_absorbed_but_at_most_one_passed_over",
              [](IrFixture& f) {
                f.sub(f.top(), f.or_({f.max(0, f.r("r"), f.nom("o")), f.A("B")}));
                f.sub(f.top(), f.or_({f.max(1, f.r("r"), f.nom("o")), f.A("B")}));
              },
              {{}, {"o -> All(inv(r) B)"}, {}, {"Or(B Max(1 r {o}))"}, {"Or(B Max(1 r {o}))"}}),
        shape("nominal_subclass_goes_to_nominal", [](IrFixture& f) { f.sub(f.nom("o"), f.A("B")); },
              {{}, {"o -> B"}, {}, {}, {}}),
        shape("subclass_of_bottom", [](IrFixture& f) { f.sub(f.A("A"), f.bot()); },
              {{"A -> Bottom"}, {}, {}, {}, {}}),
        shape("top_subclass_of_atomic_is_global", [](IrFixture& f) { f.sub(f.top(), f.A("A")); },
              {{}, {}, {}, {"A"}, {}}),
        shape("top_subclass_of_negation", [](IrFixture& f) { f.sub(f.top(), f.no(f.A("A"))); },
              {{"A -> Bottom"}, {}, {}, {}, {}}),
        shape("subclass_of_top_is_global_top", [](IrFixture& f) { f.sub(f.A("A"), f.top()); },
              {{}, {}, {}, {"Top"}, {}}),
        shape("top_subclass_of_bottom_is_global_bottom", [](IrFixture& f) { f.sub(f.top(), f.bot()); },
              {{}, {}, {}, {"Bottom"}, {}}),
        shape("equivalence_gives_ordered_pairs",
              [](IrFixture& f) { f.add(EquivalentClasses{{f.A("A"), f.A("B"), f.A("C")}}); },
              {{"A -> B", "A -> C", "B -> A", "B -> C", "C -> A", "C -> B"}, {}, {}, {}, {}}),
        // A ⊑ ¬B interns ¬B before ¬A, so the pair (A, B) goes under B.
        shape("disjoint_classes_guard_by_negation_id",
              [](IrFixture& f) { f.add(DisjointClasses{{f.A("A"), f.A("B"), f.A("C")}}); },
              {{"B -> Not(A)", "A -> Not(C)", "B -> Not(C)"}, {}, {}, {}, {}}),
        // ¬B is interned before ¬C, so B guards B ⊓ C ⊑ ⊥.
        shape("disjoint_union",
              [](IrFixture& f) {
                ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
                f.no(b);
                f.no(c);
                f.add(DisjointUnion{f.cid("A"), {b, c}});
                (void)a;
              },
              {{"A -> Or(B C)", "B -> A", "C -> A", "B -> Not(C)"}, {}, {}, {}, {}}),
        shape("skipped_kinds_make_nothing",
              [](IrFixture& f) {
                f.add(ClassAssertion{f.A("A"), f.ind("a")});
                f.add(TransitiveRole{f.r("r")});
                f.add(DeclareClass{f.cid("B")});
              },
              {{}, {}, {}, {}, {}})),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Absorption, GlobalDisjunctionsAreAscendingAndRecordsSplitByGuard) {
  ScopedSwitch domain(SwitchId::DomainAbsorption, std::nullopt);
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
  Role r = f.r("r"), s = f.r("s");
  // Made in descending id order: the later union has the smaller id.
  ConceptId later = f.or_({f.all(s, c), b});
  ConceptId earlier = f.or_({f.all(r, b), a});
  f.sub(f.top(), earlier);
  f.sub(f.top(), later);
  f.sub(a, f.all(r, b));
  f.add(ObjectPropertyRange{s, c});
  f.sub(a, f.all(s, c));
  AbsorbedTbox t = absorb(f);
  ASSERT_EQ(t.global_concepts, (std::vector<ConceptId>{earlier, later}));
  EXPECT_EQ(t.global_disjunctions, (std::vector<ConceptId>{later, earlier}));
  ASSERT_EQ(t.all_records.size(), 3u);
  EXPECT_EQ(t.global_all_records, (std::vector<RoleRule>{RoleRule::unguarded(s, c)}));
  ASSERT_EQ(t.all_index.size(), 1u);
  EXPECT_EQ(t.all_index.at(f.cid("A")), (std::vector<RoleRule>{RoleRule::guarded(r, f.cid("A"), b),
                                                               RoleRule::guarded(s, f.cid("A"), c)}));
}

TEST(Absorption, IndexesGroupByKeyInListOrderKeepingDuplicates) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C"), d = f.A("D");
  f.sub(a, b);
  f.sub(c, d);
  f.sub(a, c);
  f.sub(a, b);
  f.sub(f.nom("o"), b);
  f.sub(f.nom("p"), c);
  f.sub(f.nom("o"), d);
  AbsorbedTbox t = absorb(f);
  EXPECT_EQ(t.unfold_pairs.size(), 4u);
  EXPECT_EQ(t.unfold_index.size(), 2u);
  EXPECT_EQ(t.unfold_index.at(f.cid("A")), (std::vector<ConceptId>{b, c, b}));
  EXPECT_EQ(t.unfold_index.at(f.cid("C")), (std::vector<ConceptId>{d}));
  EXPECT_EQ(t.nominal_index.at(f.ind("o")), (std::vector<ConceptId>{b, d}));
  EXPECT_EQ(t.nominal_index.at(f.ind("p")), (std::vector<ConceptId>{c}));
}

TEST(Absorption, FinishRebuildsTheIndexesFromTheLists) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B");
  f.sub(a, b);
  AbsorbedTbox t = absorb(f);
  t.unfold_pairs.push_back({f.cid("B"), a});
  t.all_records.push_back(RoleRule::unguarded(f.r("r"), a));
  t.finish();
  t.finish();  // a second run starts from empty maps
  EXPECT_EQ(t.unfold_index.at(f.cid("A")), (std::vector<ConceptId>{b}));
  EXPECT_EQ(t.unfold_index.at(f.cid("B")), (std::vector<ConceptId>{a}));
  EXPECT_EQ(t.global_all_records.size(), 1u);
  EXPECT_TRUE(t.all_index.empty());
}

TEST(Absorption, AbsorbGciFirstNegatedNameWinsAmongSeveral) {
  IrFixture f;
  ConceptId a = f.A("A"), b = f.A("B"), o = f.nom("o");
  // ¬{o} is interned first, so the nominal takes the rule.
  ConceptId no = f.no(o), na = f.no(a);
  AbsorbedTbox t;
  absorb_gci(f.top(), f.or_({na, no, b}), f.ir.concepts, t);
  ASSERT_EQ(t.nominal_pairs.size(), 1u);
  EXPECT_TRUE(t.unfold_pairs.empty());
  EXPECT_EQ(render(f.ir, t.nominal_pairs[0].consequence), "Or(B Not(A))");
}

TEST(Absorption, DeepUnionOfUnionsOnTheLeftDoesNotRecurse) {
  // A directly interned chain Or(A0, Or(A1, Or(A2, ...))) bypasses the
  // flattening builder; each member must still be absorbed, in order.
  IrFixture f;
  constexpr int kDepth = 200000;
  ConceptId target = f.A("T");
  ConceptId chain = f.A("X" + std::to_string(kDepth));
  for (int i = kDepth - 1; i >= 0; --i) chain = f.ir.concepts.intern(Or{{f.A("X" + std::to_string(i)), chain}});
  AbsorbedTbox t;
  absorb_gci(chain, target, f.ir.concepts, t);
  ASSERT_EQ(t.unfold_pairs.size(), static_cast<std::size_t>(kDepth) + 1);
  EXPECT_EQ(t.unfold_pairs.front().cls, f.cid("X0"));
  EXPECT_EQ(t.unfold_pairs.back().cls, f.cid("X" + std::to_string(kDepth)));
}

}  // namespace
}  // namespace kelmon
