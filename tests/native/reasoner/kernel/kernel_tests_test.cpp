#include <gtest/gtest.h>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"
#include "reasoner/kernel/consistency.h"
#include "reasoner/kernel/subsumption.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

constexpr const char* kX = "http://x/";

std::string iri(const char* local) { return std::string(kX) + local; }

struct Expect {
  bool answer;
  bool by_saturation;
  bool fragment;
};

void check(const Result<KernelAnswer>& r, Expect e) {
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->answer, e.answer);
  EXPECT_EQ(r->answered_by_saturation, e.by_saturation);
  EXPECT_EQ(r->fragment_complete, e.fragment);
  EXPECT_TRUE(r->decided);
}

TEST(EntailsSubclass, SameClassAnswersWithoutReasoningEvenWhenUnsatisfiable) {
  check(entails_subclass(convert_ofn("SubClassOf(:A owl:Nothing)"), iri("A"), iri("A")), {true, true, true});
}

TEST(EntailsSubclass, SaturationAnswersInsideTheFragment) {
  check(entails_subclass(convert_ofn("SubClassOf(:A :B) Declaration(Class(:C))"), iri("A"), iri("B")),
        {true, true, true});
  check(entails_subclass(convert_ofn("SubClassOf(:A :B) Declaration(Class(:C))"), iri("A"), iri("C")),
        {false, true, true});
  check(entails_subclass(convert_ofn("SubClassOf(:A owl:Nothing) Declaration(Class(:C))"), iri("A"), iri("C")),
        {true, true, true});
}

TEST(EntailsSubclass, OutsideTheFragmentTheEnginesDecide) {
  // ⊤ ⊑ B ⊔ C and A ⊓ C ⊑ ⊥ give A ⊑ B: a case analysis saturation cannot make.
  const char* body = "SubClassOf(ObjectComplementOf(:B) :C) DisjointClasses(:A :C) Declaration(Class(:E))";
  check(entails_subclass(convert_ofn(body), iri("A"), iri("B")), {true, false, false});
  check(entails_subclass(convert_ofn(body), iri("A"), iri("E")), {false, false, false});
  ScopedSwitch off(SwitchId::Hypertableau, "0");
  check(entails_subclass(convert_ofn(body), iri("A"), iri("B")), {true, false, false});
}

TEST(EntailsSubclass, UnknownNamesAreReportedSubFirst) {
  auto r = entails_subclass(convert_ofn("SubClassOf(:A :B)"), iri("X"), iri("Y"));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), ReasonerError{UnknownClass{iri("X")}});
  r = entails_subclass(convert_ofn("SubClassOf(:A :B)"), iri("A"), iri("Y"));
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error(), ReasonerError{UnknownClass{iri("Y")}});
}

TEST(IsSatisfiable, SaturationThenTableau) {
  check(is_satisfiable(convert_ofn("SubClassOf(:A owl:Nothing)"), iri("A")), {false, true, true});
  check(is_satisfiable(convert_ofn("SubClassOf(:A :B)"), iri("A")), {true, true, true});
  check(is_satisfiable(convert_ofn("SubClassOf(:A ObjectUnionOf(:B :C))"), iri("A")), {true, false, false});
  const char* no_model = "SubClassOf(ObjectComplementOf(:B) :C) DisjointClasses(:A :C) DisjointClasses(:A :B)";
  check(is_satisfiable(convert_ofn(no_model), iri("A")), {false, false, false});
}

// A role disjoint with one of its super-roles (or the inverse of one) has no
// edges, so a class that needs such an edge is unsatisfiable.
struct DisjointRoleCase {
  const char* name;
  const char* axioms;
};

class DisjointRolesEmptyARole : public ::testing::TestWithParam<DisjointRoleCase> {};

TEST_P(DisjointRolesEmptyARole, ClassNeedingTheEdgeIsUnsatisfiable) {
  const std::string body = std::string(GetParam().axioms) +
                           " SubClassOf(:A ObjectSomeValuesFrom(:p :B)) SubClassOf(:B ObjectUnionOf(:C :D))";
  auto r = is_satisfiable(convert_ofn(body), iri("A"));
  ASSERT_TRUE(r.has_value());
  EXPECT_TRUE(r->decided);
  EXPECT_FALSE(r->answer);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, DisjointRolesEmptyARole,
    ::testing::Values(
        DisjointRoleCase{"named", "DisjointObjectProperties(:p :q) SubObjectPropertyOf(:p :q)"},
        DisjointRoleCase{"inverse_member",
                         "DisjointObjectProperties(:p ObjectInverseOf(:q)) SubObjectPropertyOf(:p ObjectInverseOf(:q))"},
        DisjointRoleCase{"both_inverse", "DisjointObjectProperties(ObjectInverseOf(:p) ObjectInverseOf(:q)) "
                                         "SubObjectPropertyOf(:p :q)"},
        DisjointRoleCase{"inverse_first",
                         "DisjointObjectProperties(ObjectInverseOf(:q) :p) SubObjectPropertyOf(:p ObjectInverseOf(:q))"},
        DisjointRoleCase{"through_inverse_axiom", "InverseObjectProperties(:q :qi) DisjointObjectProperties(:p :qi) "
                                                  "SubObjectPropertyOf(:p ObjectInverseOf(:q))"}),
    [](const ::testing::TestParamInfo<DisjointRoleCase>& info) { return std::string(info.param.name); });

TEST(CheckConsistency, EachEngineAnswersItsShareWithItsFlags) {
  // ABox saturation finds the clash.
  check(check_consistency(convert_ofn("DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)")),
        {false, true, false});
  // No assertion: the tableau alone.
  check(check_consistency(convert_ofn("SubClassOf(owl:Thing owl:Nothing)")), {false, false, false});
  check(check_consistency(convert_ofn("SubClassOf(:A :B)")), {true, false, false});
  // The wedge needs the mended clause set to see this one.
  check(check_consistency(convert_ofn("AsymmetricObjectProperty(:R) ObjectPropertyAssertion(:R :a :a)")),
        {false, false, false});
}

TEST(CheckConsistency, TraceLinesNameTheDecidingStep) {
  ScopedSwitch trace(SwitchId::Trace, "0");  // any value, "0" included
  ::testing::internal::CaptureStderr();
  check(check_consistency(convert_ofn("SubClassOf(:A :B) ClassAssertion(:A :a)")), {true, false, false});
  // The hypertableau clause set (which traces its value-type pairs) is never
  // built: a consistency check does not use it.
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "consistency: wedge Sat — consistent (trusted)\n");
}

TEST(CheckConsistency, AnInexactWedgeModelGoesOnToTheTableau) {
  ScopedSwitch trace(SwitchId::Trace, "yes");
  ::testing::internal::CaptureStderr();
  check(check_consistency(convert_ofn("SubClassOf(:A DataMinCardinality(2 :d xsd:integer)) ClassAssertion(:A :a)")),
        {true, false, false});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "consistency: wedge Sat from an inexact clause set — bounded tableau fall-through\n");
}

TEST(CheckConsistency, AFallThroughOutOfTimeReportsConsistentAndUndecided) {
  ScopedSwitch trace(SwitchId::Trace, "1");
  ScopedSwitch budget(SwitchId::ConsistencyFallbackMs, "0");  // the tableau's deadline is already here
  ::testing::internal::CaptureStderr();
  auto r = check_consistency(convert_ofn("SubClassOf(:A DataMinCardinality(2 :d xsd:integer)) ClassAssertion(:A :a)"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  ASSERT_TRUE(r.has_value());
  EXPECT_TRUE(r->answer);
  EXPECT_FALSE(r->answered_by_saturation);
  EXPECT_FALSE(r->decided);
  EXPECT_NE(err.find("consistency: bounded tableau fall-through timed out (0 ms) — reporting consistent (incomplete)\n"),
            std::string::npos)
      << err;
}

struct BudgetCase {
  const char* value;  // nullptr: unset
  std::uint64_t fallback;
  std::optional<std::uint64_t> inconsistency;
};

class Budgets : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(Budgets, ReadTheirSwitchesWithDefaults) {
  std::optional<std::string> v;
  if (GetParam().value) v = GetParam().value;
  ScopedSwitch a(SwitchId::ConsistencyFallbackMs, v);
  ScopedSwitch b(SwitchId::ClassifyInconsistencyMs, v);
  EXPECT_EQ(consistency_fallback_ms(), GetParam().fallback);
  EXPECT_EQ(inconsistency_budget_ms(), GetParam().inconsistency);
}

INSTANTIATE_TEST_SUITE_P(Cases, Budgets,
                         ::testing::Values(BudgetCase{nullptr, 10000, std::nullopt}, BudgetCase{"+500", 500, 500},
                                           BudgetCase{"abc", 10000, std::nullopt}, BudgetCase{"", 10000, std::nullopt},
                                           BudgetCase{"+", 10000, std::nullopt}, BudgetCase{"0", 0, 0}));

constexpr const char* kIrreflexiveSelf = "IrreflexiveObjectProperty(:R) ClassAssertion(ObjectHasSelf(:R) :a)";
// Inconsistent only by a case analysis over the union: ABox saturation misses it.
constexpr const char* kUnionClash =
    "SubClassOf(:A ObjectUnionOf(:C :D)) DisjointClasses(:C :F) DisjointClasses(:D :F) "
    "ClassAssertion(:A :a) ClassAssertion(:F :a)";

// ¬C's own class is read by nothing but its disjointness from C: the run skips
// the union ⊤ → C ∨ N and still finds the clashes that run through C.
constexpr const char* kComplementClash =
    "EquivalentClasses(:N ObjectComplementOf(:C)) SubClassOf(:A ObjectUnionOf(:C :D)) "
    "SubClassOf(:A ObjectUnionOf(:C :E)) DisjointClasses(:E :D) ClassAssertion(:A :a) ClassAssertion(:N :a)";
constexpr const char* kComplementModel =
    "EquivalentClasses(:N ObjectComplementOf(:C)) SubClassOf(:A ObjectUnionOf(:C :D)) "
    "ClassAssertion(:A :a) ClassAssertion(ObjectComplementOf(:D) :a)";
// Here N is read (N ⊑ E), so the union stays and decides the clash.
constexpr const char* kReadComplementClash =
    "EquivalentClasses(:N ObjectComplementOf(:C)) SubClassOf(:N :E) DisjointClasses(:E :F) "
    "DisjointClasses(:F :C) ClassAssertion(:F :a)";

// A clash through a nominal, among individuals that the search renames.
constexpr const char* kRenamedNominalClash =
    "ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:s :z :a) ObjectPropertyAssertion(:s :a :y) "
    "SubClassOf(ObjectSomeValuesFrom(:r ObjectOneOf(:b)) ObjectUnionOf(:C :E)) DisjointClasses(:C :D) "
    "DisjointClasses(:E :D) ClassAssertion(:D :a)";

struct PrecheckCase {
  const char* name;
  const char* body;
  bool top_is_bottom;
  std::optional<std::string> wedge_inconsistency;  // KELMON_CLASSIFY_WEDGE_INCONSISTENCY
  std::optional<std::string> wedge;                // KELMON_WEDGE_CONSISTENCY
  ConsistencyVerdict expected;
};

class Precheck : public ::testing::TestWithParam<PrecheckCase> {};

TEST_P(Precheck, ProvesWhatItCanAndOtherwiseSaysUnknown) {
  const PrecheckCase& c = GetParam();
  ScopedSwitch a(SwitchId::ClassifyWedgeInconsistency, c.wedge_inconsistency);
  ScopedSwitch b(SwitchId::WedgeConsistency, c.wedge);
  EXPECT_EQ(wedge_inconsistency_precheck(convert_ofn(c.body), c.top_is_bottom, false), c.expected);
}

using V = ConsistencyVerdict;
INSTANTIATE_TEST_SUITE_P(
    Table, Precheck,
    ::testing::Values(
        PrecheckCase{"saturation_flag", "SubClassOf(:A :B)", true, std::nullopt, std::nullopt, V::Inconsistent},
        PrecheckCase{"abox_saturation", "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)", false,
                     std::nullopt, std::nullopt, V::Inconsistent},
        PrecheckCase{"wedge_unsat", kIrreflexiveSelf, false, std::nullopt, std::nullopt, V::Inconsistent},
        PrecheckCase{"union_clash_by_the_wedge", kUnionClash, false, std::nullopt, std::nullopt, V::Inconsistent},
        PrecheckCase{"complement_clash", kComplementClash, false, std::nullopt, std::nullopt, V::Inconsistent},
        PrecheckCase{"complement_model", kComplementModel, false, std::nullopt, std::nullopt, V::Consistent},
        PrecheckCase{"read_complement_clash", kReadComplementClash, false, std::nullopt, std::nullopt,
                     V::Inconsistent},
        PrecheckCase{"renamed_nominal_clash", kRenamedNominalClash, false, std::nullopt, std::nullopt,
                     V::Inconsistent},
        PrecheckCase{"exact_wedge_model", "SubClassOf(:A :B) ClassAssertion(:A :a)", false, std::nullopt,
                     std::nullopt, V::Consistent},
        PrecheckCase{"inexact_wedge_model", "SubClassOf(:A DataMinCardinality(2 :d xsd:integer)) ClassAssertion(:A :a)",
                     false, std::nullopt, std::nullopt, V::Unknown},
        PrecheckCase{"no_assertion", "SubClassOf(:A :B)", false, std::nullopt, std::nullopt, V::Unknown},
        PrecheckCase{"wedge_run_off", kIrreflexiveSelf, false, "0", std::nullopt, V::Unknown},
        PrecheckCase{"wedge_run_empty_is_on", kIrreflexiveSelf, false, "", std::nullopt, V::Inconsistent},
        PrecheckCase{"wedge_off", kUnionClash, false, std::nullopt, "0", V::Unknown},
        PrecheckCase{"wedge_empty_is_off", kUnionClash, false, std::nullopt, "", V::Unknown}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CheckConsistency, TheWedgeShapedForTheVerdictStillDecides) {
  ScopedSwitch trace(SwitchId::Trace, "0");  // the deciding step's line, without the saturation's counts
  ::testing::internal::CaptureStderr();
  check(check_consistency(convert_ofn(kComplementClash)), {false, false, false});
  check(check_consistency(convert_ofn(kRenamedNominalClash)), {false, false, false});
  check(check_consistency(convert_ofn(kReadComplementClash)), {false, false, false});
  check(check_consistency(convert_ofn(kComplementModel)), {true, false, false});
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "consistency: wedge Unsat — inconsistent\n"
            "consistency: wedge Unsat — inconsistent\n"
            "consistency: wedge Unsat — inconsistent\n"
            "consistency: wedge Sat — consistent (trusted)\n");
}

std::unique_ptr<PreparedReasoner> prepared_from(const char* body) {
  auto r = prepare_without_deadline(convert_ofn(body), std::nullopt);
  EXPECT_TRUE(r.has_value());
  return r ? std::move(*r) : nullptr;
}

struct ProbeCase {
  const char* name;
  const char* body;
  std::uint64_t unsat_count;    // rows 0.. of n found unsatisfiable
  std::uint64_t n;
  bool early;
  std::uint64_t timed_out_pairs;
  bool expected;
  bool engines_ran;
};

class Probe : public ::testing::TestWithParam<ProbeCase> {};

// Every class has the row of its id; the unsatisfiable rows lie above them all.
TEST_P(Probe, RunsItsEnginesOnlyWhenTheResultLooksSuspicious) {
  const ProbeCase& c = GetParam();
  ScopedSwitch wedge(SwitchId::WedgeConsistency, "0");  // the tableau must decide the union clash
  const InternalOntology ir = convert_ofn(c.body);
  auto prepared = prepared_from(c.body);
  ASSERT_NE(prepared, nullptr);
  std::vector<std::optional<std::uint32_t>> row_of(ir.vocabulary.classes.size());
  for (std::uint32_t i = 0; i < row_of.size(); ++i) row_of[i] = i;
  tsl::robin_set<std::uint64_t> unsat_rows;
  for (std::uint64_t r = 0; r < c.unsat_count; ++r) unsat_rows.insert(c.n - 1 - r);  // never row 0
  ClassifyStats stats;
  stats.timed_out_pairs = c.timed_out_pairs;
  EXPECT_EQ(consistency_probe(ir, *prepared, row_of, unsat_rows, c.n, stats, c.early), c.expected);
  EXPECT_EQ(stats.probe_ran, c.engines_ran ? 1 : 0);
}

constexpr const char* kConsistent = "SubClassOf(:A ObjectUnionOf(:C :D)) ClassAssertion(:A :a)";

INSTANTIATE_TEST_SUITE_P(
    Table, Probe,
    ::testing::Values(ProbeCase{"nothing_suspicious", kUnionClash, 0, 6, false, 0, false, false},
                      ProbeCase{"early_runs_and_proves", kUnionClash, 0, 6, true, 0, true, true},
                      ProbeCase{"early_on_a_consistent_abox", kConsistent, 0, 6, true, 0, false, true},
                      ProbeCase{"timed_out_with_an_abox", kUnionClash, 0, 6, false, 1, true, true},
                      ProbeCase{"share_below_two_per_mille", kUnionClash, 1, 1000, false, 0, false, false},
                      ProbeCase{"share_at_two_per_mille", kUnionClash, 2, 1000, false, 0, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProbeShortcut, AnIndividualInAnUnsatisfiableClassNeedsNoEngine) {
  const char* body = "ClassAssertion(:A :a) SubClassOf(:B :C)";
  const InternalOntology ir = convert_ofn(body);
  auto prepared = prepared_from(body);
  ASSERT_NE(prepared, nullptr);
  // A gets row 7; the other classes have no row.
  std::vector<std::optional<std::uint32_t>> row_of(ir.vocabulary.classes.size());
  row_of[ir.vocabulary.classes.get(iri("A"))->id.v] = 7;
  ClassifyStats stats;
  EXPECT_FALSE(consistency_probe(ir, *prepared, row_of, {6}, 1000, stats, false));  // too few to probe
  EXPECT_TRUE(consistency_probe(ir, *prepared, row_of, {7}, 1000, stats, false));
  EXPECT_EQ(stats.probe_ran, 0);
  {
    ScopedSwitch off(SwitchId::ClassifyConsistencyProbe, "0");
    EXPECT_FALSE(consistency_probe(ir, *prepared, row_of, {7}, 1000, stats, false));
  }
  ScopedSwitch on(SwitchId::ClassifyConsistencyProbe, "");  // only "0" turns it off
  EXPECT_TRUE(consistency_probe(ir, *prepared, row_of, {7}, 1000, stats, false));
  stats.inconsistent = 1;
  EXPECT_FALSE(consistency_probe(ir, *prepared, row_of, {7}, 1000, stats, false));
}

struct WithinCase {
  const char* name;
  const char* body;
  std::optional<std::string> wedge;
  bool past_deadline;
  ConsistencyVerdict expected;
};

class ProbeWithin : public ::testing::TestWithParam<WithinCase> {};

TEST_P(ProbeWithin, ThreeVerdictsUnderTheRequestBounds) {
  const WithinCase& c = GetParam();
  ScopedSwitch wedge(SwitchId::WedgeConsistency, c.wedge);
  auto prepared = prepared_from(c.body);
  ASSERT_NE(prepared, nullptr);
  ClassifyStats stats;
  const Deadline request = c.past_deadline ? Deadline(Clock::now() - std::chrono::seconds(1)) : std::nullopt;
  EXPECT_EQ(consistency_probe_within(*prepared, std::nullopt, request, stats), c.expected);
  EXPECT_EQ(stats.probe_ran, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProbeWithin,
    ::testing::Values(WithinCase{"wedge_proves", kUnionClash, std::nullopt, false, V::Inconsistent},
                      WithinCase{"tableau_proves", kUnionClash, "0", false, V::Inconsistent},
                      WithinCase{"wedge_model", kConsistent, std::nullopt, false, V::Consistent},
                      WithinCase{"tableau_model", kConsistent, "0", false, V::Consistent},
                      WithinCase{"out_of_time", kUnionClash, "0", true, V::Unknown}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelmon::reasoner
