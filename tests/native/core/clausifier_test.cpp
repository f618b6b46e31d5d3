#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "clause_text.h"
#include "common/invariant.h"
#include "core/clausifier.h"
#include "ir_fixture.h"

namespace kelmon {
namespace {

using testing::clause_texts;
using testing::IrFixture;
using Strings = std::vector<std::string>;
using Reasons = std::map<std::string, std::uint64_t, std::less<>>;

Clausifier clausifier_for(const IrFixture& f) {
  return Clausifier(f.ir.concepts.clone(), static_cast<std::uint32_t>(f.ir.vocabulary.classes.size()),
                    static_cast<std::uint32_t>(f.ir.vocabulary.individuals.size()));
}

// Concepts are written in negation normal form, as the translator receives them.
struct GciCase {
  const char* name;
  std::function<std::pair<ConceptId, ConceptId>(IrFixture&)> build;
  Strings clauses;
  Reasons skips = {};
  bool card_disjuncts = true;
};

void PrintTo(const GciCase& c, std::ostream* os) { *os << c.name; }

class GciTest : public ::testing::TestWithParam<GciCase> {};

TEST_P(GciTest, TranslatesToTheExpectedClauses) {
  const GciCase& c = GetParam();
  IrFixture f;
  auto [sub, sup] = c.build(f);
  Clausifier cl = clausifier_for(f);
  cl.card_disjuncts = c.card_disjuncts;
  cl.gci(sub, sup);
  // Fresh classes are named after the fixture's own names, which the pool
  // copy cannot add to, so the texts read against the fixture.
  EXPECT_EQ(clause_texts(f.ir, cl.clauses), c.clauses);
  EXPECT_EQ(cl.skips.reasons, c.skips);
  std::uint64_t total = 0;
  for (const auto& [reason, count] : c.skips) total += count;
  EXPECT_EQ(cl.skips.total, total);
}

using Pair = std::pair<ConceptId, ConceptId>;

// n unions of `width` fresh atoms each, conjoined.
ConceptId product_of_unions(IrFixture& f, int n, int width) {
  std::vector<ConceptId> unions;
  for (int i = 0; i < n; ++i) {
    std::vector<ConceptId> members;
    for (int j = 0; j < width; ++j) members.push_back(f.A("U" + std::to_string(i) + "_" + std::to_string(j)));
    unions.push_back(f.or_(members));
  }
  return f.and_(unions);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, GciTest,
    ::testing::Values(
        GciCase{"atomic", [](IrFixture& f) { return Pair{f.A("A"), f.A("B")}; }, {"A(0) -> B(0)"}},
        GciCase{"union_subclass_one_clause_per_member",
                [](IrFixture& f) { return Pair{f.or_({f.A("A"), f.A("B")}), f.A("C")}; },
                {"A(0) -> C(0)", "B(0) -> C(0)"}},
        GciCase{"existential_subclass",
                [](IrFixture& f) { return Pair{f.some(f.r("r"), f.A("A")), f.A("B")}; },
                {"r(0,1), A(1) -> B(0)"}},
        GciCase{"conjunction_of_existentials_takes_fresh_variables_in_member_order",
                [](IrFixture& f) {
                  ConceptId e1 = f.some(f.r("r"), f.A("A")), e2 = f.some(f.r("s"), f.A("B"));
                  return Pair{f.and_({e1, e2}), f.A("C")};
                },
                {"r(0,1), A(1), s(0,2), B(2) -> C(0)"}},
        GciCase{"conjunction_distributes_over_union",
                [](IrFixture& f) {
                  ConceptId a = f.A("A");
                  return Pair{f.and_({a, f.or_({f.A("B"), f.A("C")})}), f.A("D")};
                },
                {"A(0), B(0) -> D(0)", "A(0), C(0) -> D(0)"}},
        GciCase{"existential_over_union_body",
                [](IrFixture& f) { return Pair{f.some(f.r("r"), f.or_({f.A("A"), f.A("B")})), f.A("C")}; },
                {"r(0,1), A(1) -> C(0)", "r(0,1), B(1) -> C(0)"}},
        GciCase{"union_with_top_is_an_empty_body",
                [](IrFixture& f) { return Pair{f.or_({f.nom("o"), f.top()}), f.A("A")}; }, {"-> A(0)"}},
        GciCase{"nominal_body", [](IrFixture& f) { return Pair{f.nom("o"), f.A("A")}; }, {"{o}(0) -> A(0)"}},
        GciCase{"universal_head",
                [](IrFixture& f) { return Pair{f.A("A"), f.all(f.r("r"), f.A("B"))}; }, {"A(0), r(0,1) -> B(1)"}},
        GciCase{"negation_head", [](IrFixture& f) { return Pair{f.A("A"), f.no(f.A("B"))}; }, {"A(0), B(0) -> F"}},
        GciCase{"negated_nominal_head", [](IrFixture& f) { return Pair{f.A("A"), f.no(f.nom("o"))}; },
                {"A(0), {o}(0) -> F"}},
        GciCase{"universal_of_negation_head",
                [](IrFixture& f) { return Pair{f.A("A"), f.all(f.r("r"), f.no(f.A("B")))}; },
                {"A(0), r(0,1), B(1) -> F"}},
        GciCase{"self_and_negated_self_heads",
                [](IrFixture& f) {
                  ConceptId self = f.ir.concepts.intern(Self{f.r("r")});
                  return Pair{f.A("A"), f.and_({self, f.all(f.r("s"), f.no(self))})};
                },
                {"A(0) -> r(0,0)", "A(0), s(0,1), r(1,1) -> F"}},
        GciCase{"top_head_makes_nothing_bottom_head_a_constraint",
                [](IrFixture& f) { return Pair{f.A("A"), f.top()}; }, {}},
        GciCase{"bottom_head", [](IrFixture& f) { return Pair{f.A("A"), f.bot()}; }, {"A(0) -> F"}},
        GciCase{"nominal_head", [](IrFixture& f) { return Pair{f.A("A"), f.nom("o")}; }, {"A(0) -> {o}(0)"}},
        GciCase{"conjunction_head_one_clause_per_member",
                [](IrFixture& f) { return Pair{f.A("A"), f.and_({f.A("B"), f.A("C")})}; },
                {"A(0) -> B(0)", "A(0) -> C(0)"}},
        GciCase{"negated_disjunct_side_clause_first",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.no(f.A("C"))})};
                },
                {"X0(0), C(0) -> F", "A(0) -> B(0) | X0(0)"}},
        GciCase{"negated_self_disjunct",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.no(f.ir.concepts.intern(Self{f.r("r")}))})};
                },
                {"X0(0), r(0,0) -> F", "A(0) -> B(0) | X0(0)"}},
        GciCase{"existential_head_names_complex_filler_first",
                [](IrFixture& f) { return Pair{f.A("A"), f.some(f.r("r"), f.and_({f.A("B"), f.A("C")}))}; },
                {"X0(0) -> B(0)", "X0(0) -> C(0)", "A(0) -> some(r,X0)(0)"}},
        GciCase{"existential_head_with_named_filler",
                [](IrFixture& f) { return Pair{f.A("A"), f.some(f.r("r"), f.A("B"))}; },
                {"A(0) -> some(r,B)(0)"}},
        // Nested definitions complete, in order, before the clause that uses them.
        GciCase{"nested_fresh_classes_in_disjunct_order",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
                  ConceptId inner = f.some(f.r("s"), f.and_({f.A("D"), f.A("E")}));
                  ConceptId outer = f.some(f.r("r"), f.and_({c, inner}));
                  ConceptId second = f.some(f.r("t"), f.and_({f.A("F"), f.A("G")}));
                  return Pair{a, f.or_({b, outer, second})};
                },
                {"X0(0) -> C(0)", "X1(0) -> D(0)", "X1(0) -> E(0)", "X0(0) -> some(s,X1)(0)", "X2(0) -> F(0)",
                 "X2(0) -> G(0)", "A(0) -> B(0) | some(r,X0)(0) | some(t,X2)(0)"}},
        GciCase{"at_least_unqualified", [](IrFixture& f) { return Pair{f.A("A"), f.min(2, f.r("r"), f.top())}; },
                {"A(0) -> >=2 r.T(0)"}},
        GciCase{"at_least_zero_makes_nothing",
                [](IrFixture& f) { return Pair{f.A("A"), f.min(0, f.r("r"), f.A("B"))}; }, {}},
        GciCase{"at_most_zero_is_kept",
                [](IrFixture& f) { return Pair{f.A("A"), f.max(0, f.r("r"), f.A("B"))}; }, {"A(0) -> <=0 r.B(0)"}},
        GciCase{"qualified_number_with_complex_filler",
                [](IrFixture& f) { return Pair{f.A("A"), f.min(2, f.r("r"), f.or_({f.A("B"), f.A("C")}))}; },
                {"X0(0) -> B(0) | C(0)", "A(0) -> >=2 r.X0(0)"}},
        GciCase{"number_disjuncts_become_number_atoms",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.min(2, f.r("r"), f.A("C")), f.max(1, f.r("r"), f.top())})};
                },
                {"A(0) -> B(0) | >=2 r.C(0) | <=1 r.T(0)"}},
        GciCase{"number_disjuncts_named_when_switched_off",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.min(2, f.r("r"), f.A("C"))})};
                },
                {"X0(0) -> >=2 r.C(0)", "A(0) -> B(0) | X0(0)"},
                {},
                false},
        GciCase{"at_least_zero_disjunct_is_an_unconstrained_fresh_class",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.min(0, f.r("r"), f.A("C"))})};
                },
                {"A(0) -> B(0) | X0(0)"}},
        GciCase{"universal_disjunct_named",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), b = f.A("B");
                  return Pair{a, f.or_({b, f.all(f.r("r"), f.A("C"))})};
                },
                {"X0(0), r(0,1) -> C(1)", "A(0) -> B(0) | X0(0)"}},
        // Head atoms follow the union's members, ascending by id: C was made
        // before ∃r.¬B, which the translation builds from the bad conjunct.
        GciCase{"bad_conjunct_moves_to_the_head",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), c = f.A("C");
                  return Pair{f.and_({a, f.all(f.r("r"), f.A("B"))}), c};
                },
                {"X0(0), B(0) -> F", "A(0) -> C(0) | some(r,X0)(0)"}},
        GciCase{"no_good_conjunct_gives_an_empty_body",
                [](IrFixture& f) {
                  ConceptId c = f.A("C");
                  return Pair{f.all(f.r("r"), f.A("B")), c};
                },
                {"X0(0), B(0) -> F", "-> C(0) | some(r,X0)(0)"}},
        GciCase{"two_bad_conjuncts",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), d = f.A("D");
                  ConceptId b1 = f.all(f.r("r"), f.A("B")), b2 = f.max(1, f.r("s"), f.top());
                  return Pair{f.and_({a, b1, b2}), d};
                },
                {"X0(0), B(0) -> F", "A(0) -> D(0) | some(r,X0)(0) | >=2 s.T(0)"}},
        GciCase{"sixty_five_alternatives_are_not_a_body",
                [](IrFixture& f) { return Pair{product_of_unions(f, 3, 5), f.A("D")}; },
                {},
                {{"antecedent", 1}}},
        GciCase{"non_normal_negation_in_head_skipped",
                [](IrFixture& f) {
                  ConceptId a = f.A("A");
                  return Pair{a, f.no(f.and_({f.A("B"), f.A("C")}))};
                },
                {},
                {{"head-not-nonatomic", 1}}},
        // Earlier side clauses stay; the union clause is dropped.
        GciCase{"non_normal_negation_in_union_drops_the_clause",
                [](IrFixture& f) {
                  ConceptId a = f.A("A"), nc = f.no(f.A("C"));
                  ConceptId bad = f.no(f.and_({f.A("B"), f.A("E")}));
                  return Pair{a, f.ir.concepts.intern(Or{{nc, bad}})};
                },
                {"X0(0), C(0) -> F"},
                {{"head-or-disjunct", 1}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Clausifier, SixtyFourAlternativesAreStillABody) {
  IrFixture f;
  ConceptId sub = product_of_unions(f, 2, 8);
  ConceptId d = f.A("D");
  Clausifier cl = clausifier_for(f);
  cl.gci(sub, d);
  ASSERT_EQ(cl.clauses.size(), 64u);
  EXPECT_EQ(cl.skips.total, 0u);
  EXPECT_EQ(testing::clause_text(f.ir, cl.clauses.front()), "U0_0(0), U1_0(0) -> D(0)");
  EXPECT_EQ(testing::clause_text(f.ir, cl.clauses.back()), "U0_7(0), U1_7(0) -> D(0)");
}

TEST(Clausifier, UnionOfSixtyFiveIsTranslatedAsAHeadUnion) {
  IrFixture f;
  std::vector<ConceptId> members;
  for (int i = 0; i < 65; ++i) members.push_back(f.A("U" + std::to_string(i)));
  ConceptId sub = f.or_(members);
  ConceptId d = f.A("D");
  Clausifier cl = clausifier_for(f);
  cl.gci(sub, d);
  // ⊤ ⊑ (¬U0 ⊓ … ⊓ ¬U64) ⊔ D: the conjunction is named X0 and defined first;
  // D, made before it, comes first in the union.
  ASSERT_EQ(cl.clauses.size(), 66u);
  EXPECT_EQ(testing::clause_text(f.ir, cl.clauses[0]), "X0(0), U0(0) -> F");
  EXPECT_EQ(testing::clause_text(f.ir, cl.clauses[65]), "-> D(0) | X0(0)");
  EXPECT_EQ(cl.skips.total, 0u);
}

TEST(Clausifier, NameConceptOfTopAndBottom) {
  IrFixture f;
  ConceptId top = f.top(), bot = f.bot(), a = f.A("A"), o = f.nom("o");
  f.cid("B");
  Clausifier cl = clausifier_for(f);
  EXPECT_EQ(cl.name_concept(a), 0u);
  EXPECT_EQ(cl.name_concept(o), 2u) << "nominal of individual 0 with K = 2";
  EXPECT_EQ(cl.name_concept_opt(top), std::nullopt);
  EXPECT_EQ(cl.name_concept(top), 3u) << "fresh classes start at K + N";
  EXPECT_TRUE(cl.clauses.empty()) << "a fresh class for Top is unconstrained";
  EXPECT_EQ(cl.name_concept_opt(bot), std::optional<std::uint32_t>(4u));
  EXPECT_EQ(testing::clause_texts(f.ir, cl.clauses), Strings{"X1(0) -> F"});
}

TEST(Clausifier, CanonicalRoleFollowsTheInverseMap) {
  IrFixture f;
  Role r = f.r("r"), s = f.r("s"), t = f.r("t");
  Clausifier cl = clausifier_for(f);
  cl.inverse_map.emplace(s.id.v, inverse_role(r));
  EXPECT_EQ(cl.canonical_role(s), inverse_role(r));
  EXPECT_EQ(cl.canonical_role(inverse_role(s)), r);
  EXPECT_EQ(cl.canonical_role(r), r);
  EXPECT_EQ(cl.canonical_role(inverse_role(t)), inverse_role(t));
}

TEST(Clausifier, FreshClassOverflowStopsTheCall) {
  IrFixture f;
  ConceptId a = f.A("A"), filler = f.and_({f.A("B"), f.A("C")});
  ConceptId goal = f.some(f.r("r"), filler);
  Clausifier cl = clausifier_for(f);
  cl.next_class = std::numeric_limits<std::uint32_t>::max() - 1;
  cl.gci(a, goal);
  EXPECT_EQ(cl.clauses.back().head[0].a, std::numeric_limits<std::uint32_t>::max() - 1) << "the last id issued";
  try {
    cl.name_concept(filler);
    FAIL() << "expected an invariant failure";
  } catch (const InvariantFailure& e) {
    EXPECT_EQ(e.message(), "fresh class id overflow");
  }
}

TEST(Clausifier, FreshVariableOverflowStopsTheCall) {
  IrFixture f;
  ConceptId e = f.some(f.r("r"), f.A("A"));
  Clausifier cl = clausifier_for(f);
  cl.next_var = std::numeric_limits<std::uint32_t>::max();
  try {
    cl.body(e, 0);
    FAIL() << "expected an invariant failure";
  } catch (const InvariantFailure& ex) {
    EXPECT_EQ(ex.message(), "fresh var overflow");
  }
}

// Nesting far deeper than any C stack could follow by recursion.
constexpr int kDeep = 200000;

TEST(Clausifier, DeepExistentialBodyIsOneLongClause) {
  IrFixture f;
  Role r = f.r("r");
  ConceptId c = f.A("A");
  for (int i = 0; i < kDeep; ++i) c = f.some(r, c);
  ConceptId b = f.A("B");
  Clausifier cl = clausifier_for(f);
  cl.gci(c, b);
  ASSERT_EQ(cl.clauses.size(), 1u);
  const DlClause& clause = cl.clauses[0];
  ASSERT_EQ(clause.body.size(), static_cast<std::size_t>(kDeep) + 1);
  EXPECT_EQ(clause.body[0], role_atom(0, 1, r));
  EXPECT_EQ(clause.body[kDeep - 1], role_atom(kDeep - 1, kDeep, r));
  EXPECT_EQ(clause.body[kDeep], concept_atom(f.cid("A").v, kDeep));
}

TEST(Clausifier, DeepExistentialHeadNamesEveryLevel) {
  IrFixture f;
  Role r = f.r("r");
  ConceptId c = f.and_({f.A("A"), f.A("B")});
  for (int i = 0; i < kDeep; ++i) c = f.some(r, c);
  ConceptId top_class = f.A("C");
  Clausifier cl = clausifier_for(f);
  const std::uint32_t first_fresh = cl.next_class;
  cl.gci(top_class, c);
  ASSERT_EQ(cl.clauses.size(), static_cast<std::size_t>(kDeep) + 2);
  // The innermost definition comes first, the clause of C last.
  EXPECT_EQ(testing::clause_text(f.ir, cl.clauses[0]), "X" + std::to_string(kDeep - 1) + "(0) -> A(0)");
  EXPECT_EQ(cl.clauses.back().head[0], exists_atom(first_fresh, 0, r));
}

TEST(Clausifier, DeepUniversalHeadChainsVariables) {
  IrFixture f;
  Role r = f.r("r");
  ConceptId c = f.A("B");
  for (int i = 0; i < kDeep; ++i) c = f.all(r, c);
  ConceptId a = f.A("A");
  Clausifier cl = clausifier_for(f);
  cl.gci(a, c);
  ASSERT_EQ(cl.clauses.size(), 1u);
  EXPECT_EQ(cl.clauses[0].body.size(), static_cast<std::size_t>(kDeep) + 1);
  EXPECT_EQ(cl.clauses[0].head, (std::vector<ClauseAtom>{concept_atom(f.cid("B").v, kDeep)}));
}

}  // namespace
}  // namespace kelmon
