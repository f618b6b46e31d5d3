#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "clause_text.h"
#include "core/clause.h"
#include "common/scoped_switch.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using testing::clause_texts;
using kelmon::testing::ScopedSwitch;
using testing::IrFixture;
using Strings = std::vector<std::string>;

struct Counters {
  std::uint64_t total, horn, disjunctive, empty_head, existential_head, skipped;
  friend bool operator==(const Counters&, const Counters&) = default;
};

std::ostream& operator<<(std::ostream& out, const Counters& c) {
  return out << "total " << c.total << " horn " << c.horn << " disjunctive " << c.disjunctive << " empty_head "
             << c.empty_head << " existential_head " << c.existential_head << " skipped " << c.skipped;
}

Counters counters_of(const DlClauseSet& s) {
  return {s.total, s.horn, s.disjunctive, s.empty_head, s.existential_head, s.skipped};
}

struct OntologyCase {
  const char* name;
  std::function<void(IrFixture&)> build;
  Strings clauses;
  Counters counters;
  std::optional<std::string> card_switch = std::nullopt;
};

void PrintTo(const OntologyCase& c, std::ostream* os) { *os << c.name; }

class ClausifyTest : public ::testing::TestWithParam<OntologyCase> {};

TEST_P(ClausifyTest, ClausesAndCounters) {
  const OntologyCase& c = GetParam();
  ScopedSwitch env(SwitchId::CardDisjunctAtoms, c.card_switch);
  IrFixture f;
  c.build(f);
  sort_axioms(f.ir.axioms);
  DlClauseSet set = clausify(f.ir);
  EXPECT_EQ(clause_texts(f.ir, set.clauses), c.clauses);
  EXPECT_EQ(counters_of(set), c.counters);
  EXPECT_EQ(set.horn + set.disjunctive, set.total);
}

const std::string kKey = "urn:kelmon-dkey:1:5";

// A ⊑ B ⊔ ≥2 r.B under a value of KELMON_CARD_DISJUNCT_ATOMS.
OntologyCase card_case(const char* name, std::optional<std::string> value, bool on) {
  auto build = [](IrFixture& f) {
    ConceptId a = f.A("A"), b = f.A("B");
    f.sub(a, f.or_({b, f.min(2, f.r("r"), b)}));
  };
  if (on) return {name, build, {"A(0) -> B(0) | >=2 r.B(0)"}, {1, 0, 1, 0, 0, 0}, std::move(value)};
  return {name, build, {"X0(0) -> >=2 r.B(0)", "A(0) -> B(0) | X0(0)"}, {2, 1, 1, 0, 0, 0}, std::move(value)};
}

INSTANTIATE_TEST_SUITE_P(
    Axioms, ClausifyTest,
    ::testing::Values(
        OntologyCase{"empty", [](IrFixture&) {}, {}, {0, 0, 0, 0, 0, 0}},
        OntologyCase{"equivalence", [](IrFixture& f) { f.add(EquivalentClasses{{f.A("A"), f.A("B")}}); },
                     {"A(0) -> B(0)", "B(0) -> A(0)"},
                     {2, 2, 0, 0, 0, 0}},
        OntologyCase{"disjoint_classes",
                     [](IrFixture& f) { f.add(DisjointClasses{{f.A("A"), f.A("B"), f.A("C")}}); },
                     {"A(0), B(0) -> F", "A(0), C(0) -> F", "B(0), C(0) -> F"},
                     {3, 3, 0, 3, 0, 0}},
        OntologyCase{"disjoint_classes_over_union_member",
                     [](IrFixture& f) { f.add(DisjointClasses{{f.A("A"), f.or_({f.A("B"), f.A("C")})}}); },
                     {"A(0), B(0) -> F", "A(0), C(0) -> F"},
                     {2, 2, 0, 2, 0, 0}},
        OntologyCase{"disjoint_classes_without_body_skipped",
                     [](IrFixture& f) { f.add(DisjointClasses{{f.A("A"), f.all(f.r("r"), f.A("B"))}}); },
                     {},
                     {0, 0, 0, 0, 0, 1}},
        OntologyCase{"disjoint_union",
                     [](IrFixture& f) { f.add(DisjointUnion{f.cid("A"), {f.A("B"), f.A("C")}}); },
                     {"B(0), C(0) -> F", "B(0) -> A(0)", "C(0) -> A(0)", "A(0) -> B(0) | C(0)"},
                     {4, 3, 1, 1, 0, 0}},
        OntologyCase{"disjoint_union_with_nominal_member",
                     [](IrFixture& f) { f.add(DisjointUnion{f.cid("A"), {f.A("B"), f.nom("o")}}); },
                     {"B(0), {o}(0) -> F", "B(0) -> A(0)", "{o}(0) -> A(0)", "A(0) -> B(0) | {o}(0)"},
                     {4, 3, 1, 1, 0, 0}},
        OntologyCase{"disjoint_union_with_complex_member",
                     [](IrFixture& f) {
                       f.add(DisjointUnion{f.cid("A"), {f.A("B"), f.all(f.r("r"), f.A("C"))}});
                     },
                     {"B(0) -> A(0)"},
                     {1, 1, 0, 0, 0, 2}},
        OntologyCase{"disjoint_union_without_members", [](IrFixture& f) { f.add(DisjointUnion{f.cid("A"), {}}); },
                     {"A(0) -> F"},
                     {1, 1, 0, 1, 0, 0}},
        // Every r-successor of an A chooses between the counted class and the
        // filler's negation, so a successor in B ⊔ C cannot go uncounted.
        OntologyCase{"at_most_complex_filler",
                     [](IrFixture& f) { f.sub(f.A("A"), f.max(1, f.r("r"), f.or_({f.A("B"), f.A("C")}))); },
                     {"A(0), r(0,1) -> X0(1) | X1(1)", "X1(0), B(0) -> F", "X1(0), C(0) -> F", "A(0) -> <=1 r.X0(0)"},
                     {4, 3, 1, 2, 0, 0}},
        OntologyCase{"at_most_complex_filler_in_union",
                     [](IrFixture& f) {
                       f.sub(f.A("A"), f.or_({f.A("D"), f.max(1, f.r("r"), f.no(f.A("B")))}));
                     },
                     {"A(0), r(0,1) -> X0(1) | B(1)", "A(0) -> D(0) | <=1 r.X0(0)"},
                     {2, 0, 2, 0, 0, 0}},
        OntologyCase{"range", [](IrFixture& f) { f.add(ObjectPropertyRange{f.r("r"), f.A("B")}); },
                     {"r(0,1) -> B(1)"},
                     {1, 1, 0, 0, 0, 0}},
        OntologyCase{"domain_union_in_member_order",
                     [](IrFixture& f) { f.add(ObjectPropertyDomain{f.r("r"), f.or_({f.A("B"), f.A("C")})}); },
                     {"r(0,1) -> B(0) | C(0)"},
                     {1, 0, 1, 0, 0, 0}},
        // Variable 1 is the role's target, so the domain's own fresh variable is 2.
        OntologyCase{"domain_and_range_start_fresh_variables_at_two",
                     [](IrFixture& f) {
                       f.add(ObjectPropertyDomain{f.r("r"), f.all(f.r("s"), f.A("B"))});
                       f.add(ObjectPropertyRange{f.r("r"), f.all(f.r("s"), f.A("B"))});
                     },
                     {"r(0,1), s(0,2) -> B(2)", "r(0,1), s(1,2) -> B(2)"},
                     {2, 2, 0, 0, 0, 0}},
        OntologyCase{"transitivity_and_two_link_chain",
                     [](IrFixture& f) {
                       f.add(TransitiveRole{f.r("r")});
                       f.add(SubObjectPropertyOf{Chain{{f.r("r"), f.inv("s")}}, f.r("t")});
                     },
                     {"r(0,1), inv(s)(1,2) -> t(0,2)", "r(0,1), r(1,2) -> r(0,2)"},
                     {2, 2, 0, 0, 0, 0}},
        OntologyCase{"long_chain_skipped",
                     [](IrFixture& f) {
                       f.add(SubObjectPropertyOf{Chain{{f.r("r"), f.r("s"), f.r("t")}}, f.r("u")});
                     },
                     {},
                     {0, 0, 0, 0, 0, 1}},
        OntologyCase{"kinds_without_clauses_are_not_skips",
                     [](IrFixture& f) {
                       f.add(SubObjectPropertyOf{Single{f.r("r")}, f.r("s")});
                       f.add(FunctionalRole{f.r("r")});
                       f.add(ClassAssertion{f.A("A"), f.ind("a")});
                       f.add(SymmetricRole{f.r("s")});
                       f.add(DeclareClass{f.cid("A")});
                     },
                     {},
                     {0, 0, 0, 0, 0, 0}},
        OntologyCase{"negation_normal_form_first",
                     [](IrFixture& f) {
                       ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
                       f.sub(a, f.no(f.and_({b, c})));
                     },
                     {"X0(0), B(0) -> F", "X1(0), C(0) -> F", "A(0) -> X0(0) | X1(0)"},
                     {3, 2, 1, 2, 0, 0}},
        OntologyCase{"existential_heads_counted_number_heads_not",
                     [](IrFixture& f) {
                       ConceptId a = f.A("A"), b = f.A("B");
                       f.sub(a, f.some(f.r("r"), b));
                       f.sub(b, f.or_({a, f.some(f.r("r"), a)}));
                       f.sub(a, f.min(2, f.r("r"), b));
                     },
                     {"A(0) -> some(r,B)(0)", "A(0) -> >=2 r.B(0)", "B(0) -> A(0) | some(r,A)(0)"},
                     {3, 2, 1, 0, 2, 0}},
        OntologyCase{"data_key_filler_makes_no_clause",
                     [](IrFixture& f) {
                       f.sub(f.A("A"), f.min(1, f.r("p"), f.A(kKey)));
                       f.sub(f.A("A"), f.some(f.r("p"), f.A(kKey)));
                     },
                     {"A(0) -> some(p," + kKey + ")(0)"},
                     {1, 1, 0, 0, 1, 0}},
        OntologyCase{"data_key_number_disjunct_left_unconstrained",
                     [](IrFixture& f) {
                       ConceptId a = f.A("A"), b = f.A("B");
                       f.sub(a, f.or_({b, f.max(2, f.r("p"), f.A(kKey))}));
                     },
                     {"A(0) -> B(0) | X0(0)"},
                     {1, 0, 1, 0, 0, 0}},
        card_case("card_disjuncts_on_when_unset", std::nullopt, true),
        card_case("card_disjuncts_off_for_empty", "", false),
        card_case("card_disjuncts_off_for_zero", "0", false),
        card_case("card_disjuncts_on_for_double_zero", "00", true),
        // s stands for inv(r); the later pairs over s, over a role with itself
        // and over an inverse role are ignored.
        OntologyCase{"inverse_pairs_fold_roles",
                     [](IrFixture& f) {
                       Role r = f.r("r"), s = f.r("s"), t = f.r("t");
                       f.add(InverseObjectProperties{r, s});
                       f.add(InverseObjectProperties{s, t});
                       f.add(InverseObjectProperties{t, t});
                       f.add(InverseObjectProperties{f.inv("u"), t});
                       f.sub(f.A("A"), f.some(s, f.A("B")));
                       f.sub(f.A("A"), f.all(f.inv("s"), f.A("B")));
                       f.sub(f.A("A"), f.some(t, f.A("B")));
                     },
                     {"A(0) -> some(inv(r),B)(0)", "A(0), r(0,1) -> B(1)", "A(0) -> some(t,B)(0)"},
                     {3, 3, 0, 0, 2, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Clausify, FreshClassesStartAfterClassesAndIndividuals) {
  IrFixture f;
  for (int i = 0; i < 10; ++i) f.cid("C" + std::to_string(i));
  for (int i = 0; i < 3; ++i) f.ind("i" + std::to_string(i));
  f.sub(f.A("C0"), f.some(f.r("r"), f.and_({f.A("C1"), f.A("C2")})));
  DlClauseSet set = clausify(f.ir);
  ASSERT_EQ(set.clauses.size(), 3u);
  EXPECT_EQ(set.clauses[0].body, (std::vector<ClauseAtom>{concept_atom(13, 0)}));
  EXPECT_EQ(set.clauses[2].head, (std::vector<ClauseAtom>{exists_atom(13, 0, f.r("r"))}));
}

TEST(Clausify, LeavesTheOntologyUnchanged) {
  IrFixture f;
  ConceptId a = f.A("A");
  f.sub(a, f.no(f.and_({f.A("B"), f.some(f.r("r"), f.A("C"))})));
  f.add(DisjointClasses{{f.A("C"), f.A("A")}});
  const std::size_t concepts = f.ir.concepts.size();
  const std::vector<Axiom> axioms = f.ir.axioms;
  DlClauseSet set = clausify(f.ir);
  EXPECT_GT(set.total, 0u);
  EXPECT_EQ(f.ir.concepts.size(), concepts);
  EXPECT_EQ(f.ir.axioms, axioms) << "the caller's list keeps its order";
}

// An ontology whose clauses depend on axiom order in every way order can
// matter: fresh class ids, clause order, and which inverse pair wins.
void build_mixed(IrFixture& f) {
  Role r = f.r("r"), s = f.r("s"), t = f.r("t");
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C"), d = f.A("D");
  f.add(InverseObjectProperties{r, s});
  f.add(InverseObjectProperties{t, s});
  f.add(InverseObjectProperties{t, r});
  f.sub(a, f.some(s, f.and_({b, c})));
  f.sub(b, f.or_({c, f.no(d), f.all(t, a)}));
  f.sub(f.and_({a, f.all(r, b)}), d);
  f.sub(f.some(t, f.or_({a, b})), f.min(2, s, f.and_({c, d})));
  f.add(EquivalentClasses{{a, f.or_({b, f.some(r, c)})}});
  f.add(DisjointClasses{{b, c, f.some(s, d)}});
  f.add(DisjointUnion{f.cid("D"), {a, f.nom("o"), f.all(s, b)}});
  f.add(ObjectPropertyDomain{t, f.or_({a, f.no(b)})});
  f.add(ObjectPropertyRange{s, f.all(r, f.max(1, t, c))});
  f.add(TransitiveRole{t});
  f.add(SubObjectPropertyOf{Chain{{r, t}}, s});
  f.add(SubObjectPropertyOf{Chain{{r, t, s}}, s});
  f.add(ClassAssertion{a, f.ind("o")});
}

TEST(Clausify, IdenticalForAnyPermutationOfTheAxioms) {
  IrFixture f;
  build_mixed(f);
  const DlClauseSet reference = clausify(f.ir);
  ASSERT_GT(reference.total, 20u);
  ASSERT_GT(reference.skipped, 0u);
  std::mt19937 rng(20261211);
  for (int round = 0; round < 30; ++round) {
    std::shuffle(f.ir.axioms.begin(), f.ir.axioms.end(), rng);
    DlClauseSet set = clausify(f.ir);
    ASSERT_EQ(set.clauses, reference.clauses) << "round " << round;
    ASSERT_EQ(counters_of(set), counters_of(reference)) << "round " << round;
  }
}

TEST(Clausify, CountersAddUp) {
  IrFixture f;
  build_mixed(f);
  DlClauseSet set = clausify(f.ir);
  std::uint64_t horn = 0, disjunctive = 0, empty = 0, existential = 0;
  for (const DlClause& c : set.clauses) {
    (c.head.size() <= 1 ? horn : disjunctive) += 1;
    empty += c.head.empty();
    existential += std::any_of(c.head.begin(), c.head.end(),
                               [](const ClauseAtom& x) { return x.atom_kind() == ClauseAtomKind::ExistsAtom; });
  }
  EXPECT_EQ(set.total, set.clauses.size());
  EXPECT_EQ(set.horn + set.disjunctive, set.total);
  EXPECT_EQ(set.horn, horn);
  EXPECT_EQ(set.disjunctive, disjunctive);
  EXPECT_EQ(set.empty_head, empty);
  EXPECT_EQ(set.existential_head, existential);
  EXPECT_GT(set.disjunctive, 0u);
  EXPECT_GT(set.empty_head, 0u);
  EXPECT_GT(set.existential_head, 0u);
}

}  // namespace
}  // namespace kelmon
