#include "reasoner/kernel/tableau_test.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;
using std::chrono::milliseconds;

const TestAnswer kSat = std::optional<bool>(true);
const TestAnswer kUnsat = std::optional<bool>(false);
const TestAnswer kUndecided = std::optional<bool>();

struct Kb {
  explicit Kb(const std::string& body) {
    InternalOntology ir = convert_ofn(body);
    auto r = prepare_without_deadline(std::move(ir), std::nullopt);
    EXPECT_TRUE(r.has_value());
    if (r) reasoner = std::move(*r);
  }
  ClassId cls(const std::string& local) const { return reasoner->vocabulary.classes.get("http://x/" + local)->id; }
  IndividualId ind(const std::string& local) const {
    return reasoner->vocabulary.individuals.get("http://x/" + local)->id;
  }
  RoleId role(const std::string& local) const { return reasoner->vocabulary.roles.get("http://x/" + local)->id; }
  // Satisfiability of one class with the asserted facts.
  TestAnswer class_test(const std::string& local, Deadline deadline) const {
    TableauTestRequest request;
    ClassId c = cls(local);
    request.test_concept = [c](ConceptPool& pool) { return pool.intern(Atomic{c}); };
    request.deadline = deadline;
    return run_tableau_test_body(*reasoner, reasoner->abox, request);
  }
  std::unique_ptr<PreparedReasoner> reasoner;
};

Deadline in(milliseconds ms) { return Clock::now() + ms; }

// n individuals, each in B ⊔ C with B and C disjoint: a model needs one choice per individual.
std::string choices(int n) {
  std::string body = "DisjointClasses(:B :C) ";
  for (int i = 0; i < n; ++i) body += "ClassAssertion(ObjectUnionOf(:B :C) :i" + std::to_string(i) + ") ";
  return body;
}

TEST(TableauInstances, DisjointClasses) {
  Kb kb("DisjointClasses(:A :B) SubClassOf(:C :D) Declaration(Class(:E))");
  const auto& r = *kb.reasoner;
  EXPECT_EQ(r.classes_disjoint(kb.cls("A"), kb.cls("B"), std::nullopt), kSat);
  EXPECT_EQ(r.classes_disjoint(kb.cls("C"), kb.cls("D"), std::nullopt), kUnsat);
  EXPECT_EQ(r.classes_disjoint(kb.cls("E"), kb.cls("E"), in(milliseconds(5000))), kUnsat)
      << "a satisfiable class is not disjoint from itself";
  EXPECT_EQ(run_tableau_test_disjoint_pair(r, r.abox, kb.cls("C"), kb.cls("D"), std::nullopt), kUnsat);
  EXPECT_EQ(run_tableau_test_disjoint_pair(r, r.abox, kb.cls("D"), kb.cls("C"), std::nullopt), kSat);
  EXPECT_EQ(run_tableau_test_pair_verify(r, r.abox, kb.cls("C"), kb.cls("D"), in(milliseconds(5000))), kUnsat);
}

struct DifferentCase {
  const char* name;
  const char* body;
  TestAnswer different;
};

class DifferentIndividuals : public ::testing::TestWithParam<DifferentCase> {};

TEST_P(DifferentIndividuals, OnSmallAboxes) {
  Kb kb(GetParam().body);
  EXPECT_EQ(kb.reasoner->individuals_different(kb.ind("a"), kb.ind("b"), std::nullopt), GetParam().different);
  EXPECT_EQ(kb.reasoner->individuals_different(kb.ind("a"), kb.ind("b"), in(milliseconds(5000))),
            GetParam().different);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DifferentIndividuals,
    ::testing::Values(
        DifferentCase{"told_different", "DifferentIndividuals(:a :b)", kSat},
        DifferentCase{"told_same", "SameIndividual(:a :b)", kUnsat},
        DifferentCase{"nothing_said", "ClassAssertion(:A :a) ClassAssertion(:A :b)", kUnsat},
        DifferentCase{"disjoint_types", "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :b)", kSat},
        DifferentCase{"negated_type", "ClassAssertion(:A :a) ClassAssertion(ObjectComplementOf(:A) :b)", kSat},
        DifferentCase{"functional_forces_same",
                      "FunctionalObjectProperty(:r) ObjectPropertyAssertion(:r :x :a) ObjectPropertyAssertion(:r :x :b) "
                      "ClassAssertion(:A :a) ClassAssertion(:A :b)",
                      kUnsat}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableauInstances, RealizationOnASmallAbox) {
  Kb kb("SubClassOf(:A :B) ClassAssertion(:A :a) ClassAssertion(:C :c) "
        "SubClassOf(ObjectSomeValuesFrom(:r :C) :D) ObjectPropertyAssertion(:r :b :c)");
  const auto& r = *kb.reasoner;
  auto realize = [&](const char* c, const char* a) {
    return run_tableau_test_realize(r, r.abox, kb.cls(c), kb.ind(a), in(milliseconds(5000)));
  };
  EXPECT_EQ(realize("B", "a"), kUnsat) << "a is a B";
  EXPECT_EQ(realize("D", "b"), kUnsat) << "b is a D through its r-successor";
  EXPECT_EQ(realize("C", "a"), kSat);
  EXPECT_EQ(realize("D", "a"), kSat);
}

TEST(TableauConsistency, SamePairAlsoAssertedDifferentIsInconsistent) {
  Kb kb("SameIndividual(:a :b) DifferentIndividuals(:a :b)");
  EXPECT_EQ(kb.reasoner->tableau_test({}, {}, std::nullopt), kUnsat);
}

TEST(TableauConsistency, ExtraFacts) {
  Kb kb("SameIndividual(:a :b) ObjectPropertyAssertion(:r :a :c) ClassAssertion(:A :d)");
  const auto& r = *kb.reasoner;
  EXPECT_EQ(r.tableau_test({}, {}, std::nullopt), kSat);
  const std::pair<IndividualId, IndividualId> ab{kb.ind("a"), kb.ind("b")};
  EXPECT_EQ(r.tableau_test(std::span(&ab, 1), {}, std::nullopt), kUnsat);
  const std::pair<IndividualId, IndividualId> cd{kb.ind("c"), kb.ind("d")};
  EXPECT_EQ(r.tableau_test(std::span(&cd, 1), {}, in(milliseconds(5000))), kSat);
  // r(a, c) is entailed, so its negation is inconsistent; through a = b also r(b, c).
  const NegativeRoleAssertion not_ac{kb.ind("a"), kb.role("r"), kb.ind("c")};
  EXPECT_EQ(r.tableau_test({}, std::span(&not_ac, 1), std::nullopt), kUnsat);
  const NegativeRoleAssertion not_bc{kb.ind("b"), kb.role("r"), kb.ind("c")};
  EXPECT_EQ(r.tableau_test({}, std::span(&not_bc, 1), in(milliseconds(5000))), kUnsat);
  const NegativeRoleAssertion not_dc{kb.ind("d"), kb.role("r"), kb.ind("c")};
  EXPECT_EQ(r.tableau_test({}, std::span(&not_dc, 1), std::nullopt), kSat);
}

TEST(TableauConsistency, NegativeAssertionOverAnIndividualWithoutFactsIsSkipped) {
  // Every r-successor of a is z: with the negative assertion on a, a would have none.
  Kb kb("SubClassOf(:A ObjectSomeValuesFrom(:r ObjectOneOf(:z))) ClassAssertion(:A :a) "
        "Declaration(NamedIndividual(:z))");
  const NegativeRoleAssertion n{kb.ind("a"), kb.role("r"), kb.ind("z")};
  // z is in no assertion, so it has no node: the fact is left out.
  EXPECT_EQ(kb.reasoner->tableau_test({}, std::span(&n, 1), std::nullopt), kSat);
}

TEST(TableauConsistency, NoIndividualsLeavesTheTestNodeAlone) {
  Kb kb("SubClassOf(:A owl:Nothing) SubClassOf(:B :C)");
  EXPECT_EQ(kb.class_test("A", std::nullopt), kUnsat);
  EXPECT_EQ(kb.class_test("B", in(milliseconds(5000))), kSat);
}

TEST(TableauConsistency, ClassAssertionOutOfNegationNormalFormIsReadCorrectly) {
  Kb kb("ClassAssertion(ObjectComplementOf(ObjectUnionOf(:A :B)) :a) ClassAssertion(:A :a)");
  EXPECT_EQ(kb.reasoner->tableau_test({}, {}, std::nullopt), kUnsat);
}

TEST(TableauDeadline, PassedDeadlineIsUndecidedAtOnce) {
  Kb kb("SubClassOf(:A :B)");
  EXPECT_EQ(kb.class_test("A", Clock::now() - milliseconds(1)), kUndecided);
}

TEST(TableauDeadline, SearchCutShortByItsDeadlineIsUndecidedNotAnError) {
  ScopedSwitch ea(SwitchId::TableauEarlyAbandon, "0");
  Kb kb(choices(3000) + "SubClassOf(:A :B)");
  EXPECT_EQ(kb.class_test("A", in(milliseconds(2))), kUndecided);
}

TEST(TableauDeepSearch, FiveThousandChoicesWithoutDeadlineOnTheBigStack) {
  Kb kb(choices(5000) + "SubClassOf(:A :B)");
  EXPECT_EQ(kb.class_test("A", std::nullopt), kSat);
}

// The early-abandon statistics line of one deadline-bound test on 300 choices,
// searched by iterative deepening: the first pass (depth 8) already reaches
// depth 0. Without abandoning, the search goes on until its deadline.
std::string ea_line(const char* hits, milliseconds deadline) {
  ScopedSwitch h(SwitchId::TableauEarlyAbandonHits, hits);
  ScopedSwitch stats(SwitchId::TableauEaStats, "1");
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  Kb kb(choices(300) + "SubClassOf(:A :B)");
  ::testing::internal::CaptureStderr();
  TestAnswer answer = kb.class_test("A", in(deadline));
  std::string line = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, kUndecided);
  return line;
}

TEST(EarlyAbandon, LimitOneAbandonsAtTheFirstCutAndLaterPassesStopAtOnce) {
  // Eight nested choices each count one trial while the abandoned search unwinds.
  EXPECT_EQ(ea_line("1", milliseconds(60'000)),
            "# ea probe trials=8 definite=0 depth0=1 max_stall_run=1 abandoned=1\n");
}

TEST(EarlyAbandon, LimitZeroCountsButNeverAbandons) {
  std::string line = ea_line("0", milliseconds(1000));
  EXPECT_NE(line.find("abandoned=0\n"), std::string::npos) << line;
  EXPECT_EQ(line.find("depth0=0 "), std::string::npos) << line;
}

struct HitsCase {
  const char* name;
  std::optional<std::string> value;
  std::uint64_t hits;
};

class EarlyAbandonHits : public ::testing::TestWithParam<HitsCase> {};

TEST_P(EarlyAbandonHits, Parsing) {
  ScopedSwitch s(SwitchId::TableauEarlyAbandonHits, GetParam().value);
  EXPECT_EQ(early_abandon_hits(), GetParam().hits);
}

INSTANTIATE_TEST_SUITE_P(Table, EarlyAbandonHits,
                         ::testing::Values(HitsCase{"unset", std::nullopt, 32}, HitsCase{"zero", "0", 0},
                                           HitsCase{"spaces", " 16 ", 16}, HitsCase{"minus_one", "-1", 32},
                                           HitsCase{"empty", "", 32}, HitsCase{"lone_sign", "+", 32},
                                           HitsCase{"plus", "+7", 7},
                                           HitsCase{"overflow", "18446744073709551616", 32}),
                         [](const auto& info) { return std::string(info.param.name); });

struct IdCounters {
  std::uint64_t decided, missed, waste_us;
};

IdCounters counters(const PreparedReasoner& r) {
  return {r.id_stats.decided.load(), r.id_stats.missed.load(), r.id_stats.waste_us.load()};
}

TEST(IterativeDeepening, ClashInTheFirstPassCountsDecided) {
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  Kb kb("SubClassOf(:A owl:Nothing)");
  EXPECT_EQ(kb.class_test("A", in(milliseconds(5000))), kUnsat);
  IdCounters c = counters(*kb.reasoner);
  EXPECT_EQ(c.decided, 1u);
  EXPECT_EQ(c.missed, 0u);
  EXPECT_EQ(c.waste_us, 0u);
}

TEST(IterativeDeepening, SecondShallowPassDecidesWhatTheFirstCouldNot) {
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  ScopedSwitch ea(SwitchId::TableauEarlyAbandon, "0");
  ScopedSwitch ms(SwitchId::TableauIdShallowMs, "60000");
  Kb kb(choices(20) + "SubClassOf(:A :B)");  // 20 choices: too deep for 8, not for 32
  EXPECT_EQ(kb.class_test("A", in(milliseconds(60'000))), kSat);
  IdCounters c = counters(*kb.reasoner);
  EXPECT_EQ(c.decided, 1u);
  EXPECT_EQ(c.missed, 0u);
  EXPECT_EQ(c.waste_us, 0u);
}

TEST(IterativeDeepening, OnePassScheduleCountsMissedAndItsTime) {
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  ScopedSwitch schedule(SwitchId::TableauIdSchedule, "300");
  Kb kb("SubClassOf(:A :B)");
  const Instant before = Clock::now();
  EXPECT_EQ(kb.class_test("A", in(milliseconds(5000))), kSat);
  const std::uint64_t bound = elapsed_us(before);
  IdCounters c = counters(*kb.reasoner);
  EXPECT_EQ(c.decided, 0u);
  EXPECT_EQ(c.missed, 1u);
  EXPECT_LE(c.waste_us, std::min<std::uint64_t>(bound, 20'000));
}

TEST(IterativeDeepening, WasteAtTheThresholdSkipsShallowPassesAndCounts) {
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  Kb kb(choices(20) + "SubClassOf(:A :B)");
  kb.reasoner->id_stats.waste_us = 1'000'000;
  EXPECT_EQ(kb.class_test("A", in(milliseconds(60'000))), kSat);
  IdCounters c = counters(*kb.reasoner);
  EXPECT_EQ(c.decided, 0u);
  EXPECT_EQ(c.missed, 0u);
  EXPECT_EQ(c.waste_us, 1'000'000u);
}

TEST(IterativeDeepening, ZeroThresholdNeverSkips) {
  ScopedSwitch id(SwitchId::TableauIterativeDeepening, "1");
  ScopedSwitch waste(SwitchId::TableauIdShallowWasteMs, "0");
  Kb kb("SubClassOf(:A owl:Nothing)");
  kb.reasoner->id_stats.waste_us = 5'000'000;
  EXPECT_EQ(kb.class_test("A", in(milliseconds(5000))), kUnsat);
  EXPECT_EQ(counters(*kb.reasoner).decided, 1u);
}

}  // namespace
}  // namespace kelmon::reasoner
