#include "reasoner/kernel/prepared_reasoner.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/convert/convert_support.h"
#include "common/scoped_switch.h"
#include "core/ir_fixture.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;
using kelmon::testing::IrFixture;

std::unique_ptr<PreparedReasoner> prepare(InternalOntology ir, Deadline deadline = std::nullopt) {
  auto outcome = from_internal_with_deadline(std::move(ir), deadline, std::nullopt);
  EXPECT_TRUE(outcome.has_value());
  if (!outcome) return nullptr;
  return std::move(outcome->reasoner);
}

TEST(PrepareDeadline, PastDeadlineAbortsBeforeAnyWork) {
  auto ir = convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)");
  sat::ElResult given;
  auto outcome = from_internal_with_deadline(std::move(ir), Clock::now() - std::chrono::seconds(1), std::move(given));
  ASSERT_TRUE(outcome.has_value());
  EXPECT_TRUE(outcome->aborted());
}

TEST(PrepareDeadline, FarDeadlineBuildsWithTimedSaturation) {
  auto r = prepare(convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)"), Clock::now() + std::chrono::hours(1));
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->saturation.has_value());
  EXPECT_EQ(r->abox.class_assertions.size(), 1u);
}

TEST(PrepareDeadline, WithoutDeadlineNeverAborts) {
  auto r = prepare_without_deadline(convert_ofn("SubClassOf(:A :B)"), std::nullopt);
  ASSERT_TRUE(r.has_value());
  EXPECT_NE(r->get(), nullptr);
}

TEST(PreparedReasonerTest, GivenSaturationIsUsedUnchanged) {
  sat::ElResult given;
  given.inconsistent = true;  // not what saturating this ontology gives
  auto outcome = from_internal_with_deadline(convert_ofn("SubClassOf(:A :B)"), std::nullopt, std::move(given));
  ASSERT_TRUE(outcome.has_value());
  ASSERT_TRUE(outcome->reasoner->saturation.has_value());
  EXPECT_TRUE(outcome->reasoner->saturation->inconsistent);
}

struct LazyCase {
  const char* name;
  std::optional<std::string> lazy;
  const char* body;
  bool saturated;
};

class LazySaturation : public ::testing::TestWithParam<LazyCase> {};

TEST_P(LazySaturation, SkipsSaturationOnlyWithoutAssertions) {
  ScopedSwitch g(SwitchId::LazyAboxSaturation, GetParam().lazy);
  auto r = prepare(convert_ofn(GetParam().body));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->saturation.has_value(), GetParam().saturated);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LazySaturation,
    ::testing::Values(LazyCase{"unset", std::nullopt, "SubClassOf(:A :B)", true},
                      LazyCase{"on_tbox", "1", "SubClassOf(:A :B)", false},
                      LazyCase{"any_value_tbox", "yes", "SubClassOf(:A :B)", false},
                      LazyCase{"zero", "0", "SubClassOf(:A :B)", true}, LazyCase{"empty", "", "SubClassOf(:A :B)", true},
                      LazyCase{"on_with_assertion", "1", "ClassAssertion(:A :a)", true}),
    [](const auto& info) { return std::string(info.param.name); });

struct TboxOnlyCase {
  const char* name;
  std::optional<std::string> tbox_only;
  const char* body;
  bool expected;
};

class TboxOnly : public ::testing::TestWithParam<TboxOnlyCase> {};

TEST_P(TboxOnly, SetOnlyWhenAssertionsStayApartFromTheTbox) {
  ScopedSwitch g(SwitchId::ClassifyTboxOnly, GetParam().tbox_only);
  auto r = prepare(convert_ofn(GetParam().body));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->tbox_only, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TboxOnly,
    ::testing::Values(
        TboxOnlyCase{"no_assertions", std::nullopt, "SubClassOf(:A :B)", false},
        TboxOnlyCase{"apart", std::nullopt, "SubClassOf(:A :B) ClassAssertion(:A :a)", true},
        TboxOnlyCase{"switch_zero", "0", "SubClassOf(:A :B) ClassAssertion(:A :a)", false},
        TboxOnlyCase{"switch_empty", "", "SubClassOf(:A :B) ClassAssertion(:A :a)", false},
        TboxOnlyCase{"nominal_in_tbox", std::nullopt,
                     "SubClassOf(:A ObjectSomeValuesFrom(:R ObjectOneOf(:b))) ClassAssertion(:A :a)", false},
        TboxOnlyCase{"nominal_range", std::nullopt,
                     "ObjectPropertyRange(:R ObjectOneOf(:b)) ObjectPropertyAssertion(:R :a :c)", false},
        TboxOnlyCase{"nominal_domain", std::nullopt,
                     "ObjectPropertyDomain(:R ObjectOneOf(:b)) ObjectPropertyAssertion(:R :a :c)", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreparedReasonerTest, DataValueKeysDecodedPerClass) {
  IrFixture f;
  ClassId int_key = f.cid("urn:kelmon-dkey:3:*");
  ClassId lang_key = f.cid("urn:kelmon-dkey:lang:*");
  ClassId iset_key = f.cid("urn:kelmon-dkey:iset:1:2:5:6");
  ClassId empty_key = f.cid("urn:kelmon-dkey:");
  ClassId plain = f.cid("http://x/A");
  auto r = prepare(std::move(f.ir));
  ASSERT_NE(r, nullptr);
  ASSERT_TRUE(r->dkeys.contains(int_key));
  const auto* range = std::get_if<DKeyValue::IntRange>(&r->dkeys.at(int_key).kind);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->interval.lower, std::optional<std::int64_t>(3));
  EXPECT_EQ(range->interval.upper, std::nullopt);
  EXPECT_FALSE(r->dkeys.contains(lang_key));
  EXPECT_FALSE(r->dkeys.contains(iset_key));
  EXPECT_FALSE(r->dkeys.contains(empty_key));
  EXPECT_FALSE(r->dkeys.contains(plain));
  EXPECT_EQ(r->dkeys.size(), 1u);
}

TEST(PreparedReasonerTest, CardinalityClassSets) {
  IrFixture f;
  Role r = f.r("R"), s = f.r("S");
  ConceptId key = f.A("urn:kelmon-dkey:3:*");
  f.sub(f.A("KeyCard"), f.min(2, r, key));
  f.sub(f.A("PlainCard"), f.min(2, r, f.A("K")));
  f.add(EquivalentClasses{{f.A("Complex"), f.max(1, r, f.some(s, f.A("B")))}});
  f.add(EquivalentClasses{{f.A("Few"), f.or_({f.nom("a"), f.nom("b")})}});
  f.sub(f.A("Bounded"), f.and_({f.A("X"), f.max(1, r, f.A("Few"))}));
  auto p = prepare(std::move(f.ir));
  ASSERT_NE(p, nullptr);
  auto cls = [&](const char* name) { return p->vocabulary.classes.get(name)->id; };
  EXPECT_EQ(p->key_card_classes, ClassSet({cls("KeyCard")}));
  EXPECT_EQ(p->complex_card_classes, ClassSet({cls("Complex")}));
  EXPECT_EQ(p->bounded_card_classes, ClassSet({cls("Bounded")}));
}

TEST(PreparedReasonerTest, RoleCharacteristicsReachTheTablesButNotTheAxiomCopy) {
  auto ir = convert_ofn("SymmetricObjectProperty(:R) TransitiveObjectProperty(:S) SubClassOf(:A :B)");
  const std::size_t converted = ir.axioms.size();
  RoleId r = kelmon::testing::role_id(ir, "R");
  RoleId s = kelmon::testing::role_id(ir, "S");
  auto p = prepare(std::move(ir));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->axioms.size(), converted);
  EXPECT_EQ(p->inverse_pairs, (std::vector<RolePair>{{r, r}}));
  EXPECT_TRUE(p->role_hierarchy.is_symmetric(r));
  EXPECT_EQ(p->role_chains,
            (std::vector<RoleChainEntry>{{Role::named(s), Role::named(s), Role::named(s)}}));
}

TEST(PreparedReasonerTest, ComplementPairsSortedWithInternedComplements) {
  IrFixture f;
  Role r = f.r("R");
  ConceptId a = f.A("A"), b = f.A("B"), c = f.A("C");
  f.sub(c, f.or_({a, f.some(r, b)}));
  f.sub(c, f.max(1, r, b));
  auto p = prepare(std::move(f.ir));
  ASSERT_NE(p, nullptr);
  // A (a plain union member), B (a Max filler), and whatever plain members
  // the absorbed axioms' unions have; each once, ascending.
  const auto& pairs = p->complement_pairs;
  EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end()));
  EXPECT_EQ(std::adjacent_find(pairs.begin(), pairs.end(), [](auto x, auto y) { return x.first == y.first; }),
            pairs.end());
  auto has = [&](ConceptId c) {
    return std::any_of(pairs.begin(), pairs.end(), [&](auto pair) { return pair.first == c; });
  };
  EXPECT_TRUE(has(a));
  EXPECT_TRUE(has(b));
  EXPECT_FALSE(has(c));
  ConceptPool copy = p->pool.clone();
  for (auto [concept_id, complement] : pairs) EXPECT_EQ(copy.nnf_not(concept_id), complement);
  EXPECT_EQ(copy.size(), p->pool.size()) << "every complement was interned at build";
  EXPECT_TRUE(p->pool.bottom_id().has_value());
}

TEST(PreparedReasonerTest, AssertedFactsInTheirSevenLists) {
  IrFixture f;
  Role r = f.r("R");
  IndividualId a = f.ind("a"), b = f.ind("b"), c = f.ind("c"), d = f.ind("d");
  ConceptId A = f.A("A");
  f.add(ClassAssertion{A, c});
  f.add(ObjectPropertyAssertion{inverse_role(r), a, b});
  f.add(NegativeObjectPropertyAssertion{r, b, d});
  f.add(SameIndividual{{d, a, c}});
  f.add(DifferentIndividuals{{b, c}});
  auto p = prepare(std::move(f.ir));
  ASSERT_NE(p, nullptr);
  const AboxFacts& x = p->abox;
  std::vector<IndividualId> order;
  for (auto [ind, nominal] : x.individual_nominals) {
    order.push_back(ind);
    EXPECT_EQ(p->pool.get(nominal), Concept(Nominal{ind}));
  }
  // First mention along the axiom list: c (class assertion), a and b (the
  // inverse assertion, subject first), then d.
  EXPECT_EQ(order, (std::vector<IndividualId>{c, a, b, d}));
  EXPECT_EQ(x.class_assertions, (std::vector<IndividualConcept>{{c, A}}));
  EXPECT_EQ(x.role_assertions, (std::vector<RoleFact>{{b, r.id, a}}));
  ASSERT_EQ(x.negative_assertion_concepts.size(), 1u);
  EXPECT_EQ(x.negative_assertion_concepts[0].first, b);
  const auto& all = std::get<All>(p->pool.get(x.negative_assertion_concepts[0].second));
  EXPECT_EQ(all.role, r);
  const auto& negated = std::get<Not>(p->pool.get(all.filler));
  EXPECT_EQ(p->pool.get(negated.operand), Concept(Nominal{d}));
  EXPECT_EQ(x.same_pairs, (std::vector<IndividualPair>{{d, a}, {d, c}, {a, c}}));
  EXPECT_EQ(x.different_pairs, (std::vector<IndividualPair>{{b, c}}));
  EXPECT_EQ(x.negative_role_assertions, (std::vector<RoleFact>{{b, r.id, d}}));
}

TEST(PreparedReasonerTest, IdStatsLineOnlyForExactlyOne) {
  {
    ScopedSwitch g(SwitchId::TableauIdStats, "1");
    auto p = prepare(convert_ofn("SubClassOf(:A :B)"));
    ASSERT_NE(p, nullptr);
    p->id_stats.decided = 3;
    p->id_stats.missed = 2;
    p->id_stats.waste_us = 2'499;
    ::testing::internal::CaptureStderr();
    p.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "# tableau-id-stats: shallow_decided=3 shallow_missed=2 shallow_waste_ms=2\n");
  }
  ScopedSwitch g(SwitchId::TableauIdStats, "true");
  auto p = prepare(convert_ofn("SubClassOf(:A :B)"));
  ::testing::internal::CaptureStderr();
  p.reset();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(PreparedReasonerTest, ClauseSetStatsLineComesBeforeTheTableauOne) {
  ScopedSwitch tableau(SwitchId::TableauIdStats, "1");
  ScopedSwitch hyper(SwitchId::IdStats, "1");
  auto p = prepare(convert_ofn("SubClassOf(:A :B)"));
  ASSERT_NE(p, nullptr);
  ASSERT_NE(p->hyper_set(), nullptr);
  p->hyper_set()->shallow_decided = 4;
  p->id_stats.missed = 1;
  ::testing::internal::CaptureStderr();
  p.reset();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "# id-stats: shallow_decided=4 shallow_missed=0 shallow_waste_ms=0\n"
            "# tableau-id-stats: shallow_decided=0 shallow_missed=1 shallow_waste_ms=0\n");
}

struct ClauseSetCase {
  const char* name;
  std::optional<std::string> hyper;
  std::optional<std::string> wedge;
  const char* body;
  bool has_hyper;
  bool has_wedge;
};

class ClauseSets : public ::testing::TestWithParam<ClauseSetCase> {};

TEST_P(ClauseSets, BuiltAsTheirSwitchesAndTheAssertionsSay) {
  ScopedSwitch hyper(SwitchId::Hypertableau, GetParam().hyper);
  ScopedSwitch wedge(SwitchId::WedgeConsistency, GetParam().wedge);
  auto p = prepare(convert_ofn(GetParam().body));
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->hyper_set() != nullptr, GetParam().has_hyper);
  EXPECT_EQ(p->wedge.has_value(), GetParam().has_wedge);
  if (p->wedge) {
    EXPECT_EQ(p->wedge->individual_count, 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ClauseSets,
    ::testing::Values(ClauseSetCase{"defaults_tbox", std::nullopt, std::nullopt, "SubClassOf(:A :B)", true, false},
                      ClauseSetCase{"defaults_abox", std::nullopt, std::nullopt, "ClassAssertion(:A :a)", true, true},
                      ClauseSetCase{"hyper_off", "0", std::nullopt, "ClassAssertion(:A :a)", false, true},
                      ClauseSetCase{"hyper_empty", "", "1", "ClassAssertion(:A :a)", false, true},
                      ClauseSetCase{"wedge_off", std::nullopt, "0", "ClassAssertion(:A :a)", true, false},
                      ClauseSetCase{"wedge_empty", "yes", "", "ClassAssertion(:A :a)", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The clause sets see the ontology as converted: the role-characteristic
// axioms preparation adds later must not reach them twice.
TEST(PreparedReasonerTest, ClauseSetsMatchAStandaloneBuild) {
  const char* body = "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) FunctionalObjectProperty(:r) "
                     "IrreflexiveObjectProperty(:r) ReflexiveObjectProperty(:s) SymmetricObjectProperty(:t) "
                     "InverseFunctionalObjectProperty(:t) ClassAssertion(:A :a) ObjectPropertyAssertion(:t :a :b)";
  auto prepared = prepare_without_deadline(convert_ofn(body), std::nullopt);
  ASSERT_TRUE(prepared.has_value());
  const auto& p = *prepared;
  // Not built until asked for, and then as a standalone build.
  EXPECT_EQ(p->hyper, nullptr);
  ASSERT_NE(p->hyper_set(), nullptr);
  EXPECT_EQ(p->hyper_set(), p->hyper.get());
  ASSERT_TRUE(p->wedge.has_value());
  const InternalOntology ir = convert_ofn(body);
  EXPECT_EQ(p->hyper_set()->clauses, build_hyper_clause_set(ir)->clauses);
  EXPECT_EQ(p->wedge->clauses, build_wedge_clause_set(ir).clauses);
  EXPECT_EQ(p->wedge->individual_count, 2u);
}

TEST(PreparedReasonerTest, SnapshotCaptureOnlyWhenSwitchedOn) {
  const char* body = "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) SubClassOf(:C ObjectMaxCardinality(1 :r)) "
                     "Declaration(Class(:D))";
  {
    ScopedSwitch on(SwitchId::SnapshotCapture, "yes");
    auto p = prepare(convert_ofn(body));
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->snapshot, nullptr);
    EXPECT_FALSE(p->snapshot->clauses.empty());
    EXPECT_GE(p->snapshot->id_bound, p->vocabulary.classes.size());
    EXPECT_EQ(p->snapshot->logic_profile, 2) << "number restrictions";
    // A, B and D stay plain; C's axiom has a number restriction.
    EXPECT_EQ(p->profile_counts, (std::array<std::uint64_t, 2>{3, 1}));
  }
  ScopedSwitch off(SwitchId::SnapshotCapture, "2");
  auto p = prepare(convert_ofn(body));
  EXPECT_EQ(p->snapshot, nullptr);
  EXPECT_EQ(p->profile_counts, (std::array<std::uint64_t, 2>{0, 0}));
}

TEST(PreparedReasonerTest, AboxClashComputedOnceFromTheRecord) {
  auto p = prepare(convert_ofn("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)"));
  ASSERT_NE(p, nullptr);
  const std::optional<AboxClash>& first = p->abox_clash();
  ASSERT_TRUE(first.has_value());
  EXPECT_TRUE(std::holds_alternative<clash::DisjointTypes>(*first));
  EXPECT_EQ(&p->abox_clash(), &first) << "the cell is filled once";
  auto clean = prepare(convert_ofn("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :b)"));
  EXPECT_FALSE(clean->abox_clash().has_value());
}

}  // namespace
}  // namespace kelmon::reasoner
