#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/prepared_reasoner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using namespace clash;
using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

// Names of a converted test ontology ("a", "A", "r" for http://x/...).
struct Names {
  const InternalOntology& ir;
  IndividualId i(const char* n) const { return kelmon::testing::individual(ir, std::string("http://x/") + n); }
  ClassId c(const char* n) const { return kelmon::testing::class_id(ir, n); }
  RoleId r(const char* n) const { return kelmon::testing::role_id(ir, n); }
  // The two classes in ascending id order, as the check reports a pair of types.
  std::pair<ClassId, ClassId> ordered(const char* x, const char* y) const { return std::minmax({c(x), c(y)}); }
};

struct Checked {
  InternalOntology ir;
  AboxCheckData data;
  sat::ElResult saturation;
};

Checked prepare(const char* body) {
  Checked out{convert_ofn(body), {}, {}};
  out.data = build_abox_check_input(out.ir);
  out.saturation = sat::el_saturate_from_env(out.ir);
  return out;
}

std::optional<AboxClash> check(const Checked& c) { return abox_check(c.data.input(c.saturation)); }

struct CheckCase {
  const char* name;
  const char* body;
  std::optional<AboxClash> (*expected)(const Names&);
};

std::optional<AboxClash> none(const Names&) { return std::nullopt; }

const CheckCase kCases[] = {
    {"no_assertions", "SubClassOf(:A owl:Nothing) DisjointClasses(:A :B)", none},
    {"asserted_bot", "SubClassOf(:A owl:Nothing) ClassAssertion(:A :a)",
     [](const Names& n) -> std::optional<AboxClash> { return AssertedBot{n.i("a"), n.c("A")}; }},
    {"asserted_bot_before_any_other_clash",
     "DisjointObjectProperties(:r :s) ObjectPropertyAssertion(:r :x :y) ObjectPropertyAssertion(:s :x :y) "
     "SameIndividual(:x :y) DifferentIndividuals(:x :y) SubClassOf(:A owl:Nothing) ClassAssertion(:A :a)",
     [](const Names& n) -> std::optional<AboxClash> { return AssertedBot{n.i("a"), n.c("A")}; }},
    {"disjoint_types", "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("a"), c, d};
     }},
    {"disjoint_types_through_the_hierarchy",
     "SubClassOf(:A :C) SubClassOf(:B :D) DisjointClasses(:C :D) ClassAssertion(:A :a) ClassAssertion(:B :a)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("C", "D");
       return DisjointTypes{n.i("a"), c, d};
     }},
    {"disjoint_classes_on_different_individuals",
     "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :b)", none},
    {"negative_assertion_conflict",
     "NegativeObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:r :a :b)",
     [](const Names& n) -> std::optional<AboxClash> { return NegOpaConflict{n.i("a"), n.r("r"), n.i("b")}; }},
    {"negative_assertion_conflict_through_a_sub_property",
     "SubObjectPropertyOf(:s :r) NegativeObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:s :a :b)",
     [](const Names& n) -> std::optional<AboxClash> { return NegOpaConflict{n.i("a"), n.r("r"), n.i("b")}; }},
    {"negative_assertion_the_other_way_round",
     "NegativeObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:r :b :a)", none},
    {"negative_assertion_on_a_super_property_only",
     "SubObjectPropertyOf(:s :r) NegativeObjectPropertyAssertion(:s :a :b) ObjectPropertyAssertion(:r :a :b)", none},
    {"same_and_different", "SameIndividual(:a :b) DifferentIndividuals(:a :b)",
     [](const Names& n) -> std::optional<AboxClash> { return SameDifferent{n.i("a"), n.i("b")}; }},
    {"same_through_a_chain_and_different",
     "SameIndividual(:a :b) SameIndividual(:b :c) DifferentIndividuals(:c :a)",
     [](const Names& n) -> std::optional<AboxClash> { return SameDifferent{n.i("c"), n.i("a")}; }},
    {"functional_with_different",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :x :b1) ObjectPropertyAssertion(:f :x :b2) "
     "DifferentIndividuals(:b1 :b2)",
     [](const Names& n) -> std::optional<AboxClash> {
       return FunctionalDiff{n.r("f"), n.i("x"), n.i("b1"), n.i("b2")};
     }},
    {"functional_without_different_is_no_clash",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :x :b1) ObjectPropertyAssertion(:f :x :b2)", none},
    // Objects are grouped in the order of the sorted assertions, that is by id:
    // the first is united with each later one until a different pair meets.
    {"functional_merge_reaches_a_different_pair_through_a_third",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :x :b1) ObjectPropertyAssertion(:f :x :b2) "
     "ObjectPropertyAssertion(:f :x :b3) DifferentIndividuals(:b2 :b3)",
     [](const Names& n) -> std::optional<AboxClash> {
       std::vector<IndividualId> o{n.i("b1"), n.i("b2"), n.i("b3")};
       std::sort(o.begin(), o.end());
       const bool second_breaks = std::minmax({o[0], o[1]}) == std::minmax({n.i("b2"), n.i("b3")});
       return FunctionalDiff{n.r("f"), n.i("x"), o[0], second_breaks ? o[1] : o[2]};
     }},
    {"functional_merges_join_with_same_individuals",
     "FunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :x :b1) ObjectPropertyAssertion(:f :x :b2) "
     "SameIndividual(:b2 :c) DifferentIndividuals(:b1 :c)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [first, second] = std::minmax({n.i("b1"), n.i("b2")});
       return FunctionalDiff{n.r("f"), n.i("x"), first, second};
     }},
    {"inverse_functional_with_different",
     "InverseFunctionalObjectProperty(:f) ObjectPropertyAssertion(:f :b1 :x) ObjectPropertyAssertion(:f :b2 :x) "
     "DifferentIndividuals(:b1 :b2)",
     [](const Names& n) -> std::optional<AboxClash> {
       return FunctionalDiff{n.r("f"), n.i("x"), n.i("b1"), n.i("b2")};
     }},
    {"functional_inverse_property_is_inverse_functional",
     "FunctionalObjectProperty(ObjectInverseOf(:f)) ObjectPropertyAssertion(:f :b1 :x) "
     "ObjectPropertyAssertion(:f :b2 :x) DifferentIndividuals(:b1 :b2)",
     [](const Names& n) -> std::optional<AboxClash> {
       return FunctionalDiff{n.r("f"), n.i("x"), n.i("b1"), n.i("b2")};
     }},
    {"asymmetric_both_ways",
     "AsymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:r :b :a)",
     [](const Names& n) -> std::optional<AboxClash> { return AsymmetricViolation{n.r("r"), n.i("a"), n.i("b")}; }},
    {"asymmetric_against_an_inverse_assertion",
     "AsymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b) "
     "ObjectPropertyAssertion(ObjectInverseOf(:r) :a :b)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [first, second] = std::minmax({n.i("a"), n.i("b")});
       return AsymmetricViolation{n.r("r"), first, second};
     }},
    {"asymmetric_one_way", "AsymmetricObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)", none},
    {"irreflexive_self_loop", "IrreflexiveObjectProperty(:r) ObjectPropertyAssertion(:r :a :a)",
     [](const Names& n) -> std::optional<AboxClash> { return IrreflexiveViolation{n.r("r"), n.i("a")}; }},
    {"irreflexive_through_a_same_group",
     "IrreflexiveObjectProperty(:r) ObjectPropertyAssertion(:r :a :b) SameIndividual(:a :b)",
     [](const Names& n) -> std::optional<AboxClash> { return IrreflexiveViolation{n.r("r"), n.i("a")}; }},
    {"irreflexive_between_two", "IrreflexiveObjectProperty(:r) ObjectPropertyAssertion(:r :a :b)", none},
    {"disjoint_types_after_a_domain",
     "ObjectPropertyDomain(:r :A) DisjointClasses(:A :B) ClassAssertion(:B :x) ObjectPropertyAssertion(:r :x :y)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("x"), c, d};
     }},
    {"disjoint_types_after_a_range",
     "ObjectPropertyRange(:r :A) DisjointClasses(:A :B) ClassAssertion(:B :y) ObjectPropertyAssertion(:r :x :y)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("y"), c, d};
     }},
    {"range_of_the_inverse_is_a_domain",
     "InverseObjectProperties(:p :q) ObjectPropertyRange(:q :A) DisjointClasses(:A :B) ClassAssertion(:B :x) "
     "ObjectPropertyAssertion(:p :x :y)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("x"), c, d};
     }},
    {"domain_of_the_inverse_is_a_range",
     "InverseObjectProperties(:p :q) ObjectPropertyDomain(:q :A) DisjointClasses(:A :B) ClassAssertion(:B :y) "
     "ObjectPropertyAssertion(:p :x :y)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("y"), c, d};
     }},
    {"range_of_a_symmetric_property_is_a_domain",
     "SymmetricObjectProperty(:r) ObjectPropertyRange(:r :A) DisjointClasses(:A :B) ClassAssertion(:B :x) "
     "ObjectPropertyAssertion(:r :x :y)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [c, d] = n.ordered("A", "B");
       return DisjointTypes{n.i("x"), c, d};
     }},
    // Saturation finds an asserted A unsatisfiable (AssertedBot); a domain brings A in unseen.
    {"asserted_unsatisfiable_class_is_reported_before_a_collapse",
     "FunctionalObjectProperty(:f) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:f :B) "
     "ObjectSomeValuesFrom(:f :C))) DisjointClasses(:B :C) ClassAssertion(:A :a)",
     [](const Names& n) -> std::optional<AboxClash> { return AssertedBot{n.i("a"), n.c("A")}; }},
    {"functional_collapse_without_a_successor",
     "FunctionalObjectProperty(:f) SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:f :B) "
     "ObjectSomeValuesFrom(:f :C))) DisjointClasses(:B :C) ObjectPropertyDomain(:r :A) ObjectPropertyAssertion(:r :a :z)",
     [](const Names& n) -> std::optional<AboxClash> {
       auto [q1, q2] = n.ordered("B", "C");
       return FunctionalCollapse{n.i("a"), n.r("f"), q1, q2};
     }},
    {"functional_collapse_from_a_superclass_and_a_definition",
     "FunctionalObjectProperty(:f) SubClassOf(:A ObjectSomeValuesFrom(:f :B)) EquivalentClasses(:D "
     "ObjectSomeValuesFrom(:f :C)) SubClassOf(:A :D) DisjointClasses(:B :C) ObjectPropertyDomain(:r :A) "
     "ObjectPropertyAssertion(:r :a :z)",
     [](const Names& n) -> std::optional<AboxClash> {
       // Fillers come in the order of the types that require them: A's B, D's C, by class id.
       const bool a_first = n.c("A") < n.c("D");
       return FunctionalCollapse{n.i("a"), n.r("f"), a_first ? n.c("B") : n.c("C"), a_first ? n.c("C") : n.c("B")};
     }},
    {"collapse_needs_a_functional_property",
     "SubClassOf(:A ObjectIntersectionOf(ObjectSomeValuesFrom(:f :B) ObjectSomeValuesFrom(:f :C))) "
     "DisjointClasses(:B :C) ClassAssertion(:A :a)",
     none},
    {"disjoint_role_pair",
     "DisjointObjectProperties(:r :s) ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:s :a :b)",
     [](const Names& n) -> std::optional<AboxClash> {
       return DisjointRolePairViolation{n.r("r"), n.r("s"), n.i("a"), n.i("b")};
     }},
    {"disjoint_role_pair_with_an_inverse_member",
     "DisjointObjectProperties(ObjectInverseOf(:s) :r) ObjectPropertyAssertion(:r :a :b) "
     "ObjectPropertyAssertion(:s :b :a)",
     [](const Names& n) -> std::optional<AboxClash> {
       // Read as s disjoint with r⁻: s(b, a) meets r(a, b).
       return DisjointRolePairViolation{n.r("s"), n.r("r"), n.i("b"), n.i("a")};
     }},
    {"disjoint_roles_on_different_pairs",
     "DisjointObjectProperties(:r :s) ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:s :b :a)", none},
    {"earlier_variant_wins",
     "AsymmetricObjectProperty(:r) DisjointObjectProperties(:r :s) ObjectPropertyAssertion(:r :a :b) "
     "ObjectPropertyAssertion(:r :b :a) ObjectPropertyAssertion(:s :a :b)",
     [](const Names& n) -> std::optional<AboxClash> { return AsymmetricViolation{n.r("r"), n.i("a"), n.i("b")}; }},
    {"man_and_woman_alone_are_no_clash", "ClassAssertion(:Man :a) ClassAssertion(:Woman :a)", none},
};

class AboxCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(AboxCheck, FindsTheFirstClashInOrder) {
  const auto c = prepare(GetParam().body);
  const auto expected = GetParam().expected(Names{c.ir});
  const auto found = check(c);
  EXPECT_EQ(found.has_value(), expected.has_value()) << (found ? debug_text(*found) : "no clash");
  if (found && expected) {
    EXPECT_EQ(debug_text(*found), debug_text(*expected));
  }
}

INSTANTIATE_TEST_SUITE_P(Table, AboxCheck, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AboxCheck, EmptyFactsAnswerWithoutReadingAnythingElse) {
  auto c = prepare("SubClassOf(:A owl:Nothing)");
  ASSERT_TRUE(c.data.facts.individual_nominals.empty());
  sat::ElResult empty;  // a saturation that knows no class: nothing may be looked up in it
  EXPECT_FALSE(abox_check(c.data.input(empty)).has_value());
}

TEST(AboxCheck, DebugRendering) {
  EXPECT_EQ(debug_text(AboxClash{AssertedBot{IndividualId{3}, ClassId{7}}}),
            "AssertedBot { individual: IndividualId(3), class: ClassId(7) }");
  EXPECT_EQ(debug_text(AboxClash{FunctionalDiff{RoleId{1}, IndividualId{2}, IndividualId{3}, IndividualId{4}}}),
            "FunctionalDiff { role: RoleId(1), a: IndividualId(2), b1: IndividualId(3), b2: IndividualId(4) }");
  EXPECT_EQ(debug_text(AboxClash{IrreflexiveViolation{RoleId{0}, IndividualId{5}}}),
            "IrreflexiveViolation { role: RoleId(0), a: IndividualId(5) }");
  EXPECT_EQ(debug_text(AboxClash{FunctionalCollapse{IndividualId{1}, RoleId{2}, ClassId{3}, ClassId{4}}}),
            "FunctionalCollapse { individual: IndividualId(1), role: RoleId(2), q1: ClassId(3), q2: ClassId(4) }");
  EXPECT_EQ(debug_text(AboxClash{DisjointRolePairViolation{RoleId{1}, RoleId{2}, IndividualId{3}, IndividualId{4}}}),
            "DisjointRolePairViolation { r: RoleId(1), s: RoleId(2), from: IndividualId(3), to: IndividualId(4) }");
  EXPECT_EQ(debug_text(AboxClash{NegOpaConflict{IndividualId{1}, RoleId{2}, IndividualId{3}}}),
            "NegOpaConflict { from: IndividualId(1), role: RoleId(2), to: IndividualId(3) }");
}

TEST(AboxCheckInput, KeepsTheAxiomsAsConvertedAndTheRoleTables) {
  auto c = prepare(
      "SymmetricObjectProperty(:r) FunctionalObjectProperty(:f) DisjointObjectProperties(:r :s) "
      "InverseObjectProperties(:p ObjectInverseOf(:q)) ObjectPropertyAssertion(:r :a :b)");
  Names n{c.ir};
  EXPECT_EQ(c.data.axioms, c.ir.axioms);
  // The symmetric property is its own inverse; p and q⁻ carry different flags and are no pair.
  EXPECT_EQ(c.data.inverse_pairs, (std::vector<RolePair>{{n.r("r"), n.r("r")}}));
  EXPECT_EQ(c.data.disjoint_role_pairs,
            (std::vector<DisjointRolePair>{{Role::named(n.r("r")), Role::named(n.r("s"))}}));
  EXPECT_EQ(c.data.facts.role_assertions, (std::vector<RoleFact>{{n.i("a"), n.r("r"), n.i("b")}}));
  EXPECT_TRUE(c.data.role_hierarchy.is_symmetric(n.r("r")));
  // The pool holds what collecting the facts interned: the individuals' nominals.
  for (auto [i, nominal] : c.data.facts.individual_nominals) EXPECT_EQ(c.data.pool.get(nominal), Concept{Nominal{i}});
}

std::unique_ptr<PreparedReasoner> prepared(const char* body) {
  auto p = prepare_without_deadline(convert_ofn(body), std::nullopt);
  EXPECT_TRUE(p.has_value());
  return std::move(*p);
}

constexpr const char* kDisjointTypes = "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)";

TEST(AboxClashCell, ComputedOnceAndSharedBySixtyFourThreads) {
  auto p = prepared(kDisjointTypes);
  AboxClashCell cell;
  std::vector<const std::optional<AboxClash>*> seen(64, nullptr);
  std::vector<std::thread> threads;
  for (int t = 0; t < 64; ++t) threads.emplace_back([&, t] { seen[t] = &cell.get(*p); });
  for (auto& th : threads) th.join();
  ASSERT_TRUE(seen[0]->has_value());
  EXPECT_TRUE(std::holds_alternative<DisjointTypes>(**seen[0]));
  for (const auto* s : seen) EXPECT_EQ(s, seen[0]);
}

TEST(AboxClashCell, AgreesWithTheCheckFromABareOntology) {
  for (const auto& c : kCases) {
    auto p = prepared(c.body);
    const auto bare = check(prepare(c.body));
    const AboxClashCell cell;
    const auto& cached = cell.get(*p);
    EXPECT_EQ(cached ? debug_text(*cached) : "none", bare ? debug_text(*bare) : "none") << c.name;
  }
}

TEST(AboxClashCell, SwitchedOffMeansNoClashAndTheAnswerStays) {
  auto p = prepared(kDisjointTypes);
  for (const char* off : {"0", ""}) {
    AboxClashCell cell;
    {
      ScopedSwitch sw(SwitchId::AboxCheck, std::string(off));
      EXPECT_FALSE(cell.get(*p).has_value());
    }
    EXPECT_FALSE(cell.get(*p).has_value()) << "a computed answer never changes";
  }
  ScopedSwitch on(SwitchId::AboxCheck, std::string("no"));
  EXPECT_TRUE(AboxClashCell{}.get(*p).has_value());
}

TEST(AboxClashCell, NoSaturationMeansNoClash) {
  auto p = prepared(kDisjointTypes);
  p->saturation.reset();  // as when a lazy build skipped it
  EXPECT_FALSE(AboxClashCell{}.get(*p).has_value());
}

}  // namespace
}  // namespace kelmon::reasoner
