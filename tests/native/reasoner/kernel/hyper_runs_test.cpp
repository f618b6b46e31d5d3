#include "reasoner/kernel/hyper_runs.h"

#include <gtest/gtest.h>

#include <string>

#include "common/scoped_switch.h"
#include "core/convert/convert_support.h"

namespace kelmon::reasoner {
namespace {

using kelmon::testing::class_id;
using kelmon::testing::convert_ofn;
using kelmon::testing::ScopedSwitch;

struct PairCase {
  const char* name;
  const char* body;
  const char* sub;
  const char* sup;
  HyperVerdict verdict;
};

class HyperPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(HyperPairs, IterativeRunsCloseExactlyOnEntailedSubsumptions) {
  auto ir = convert_ofn(GetParam().body);
  auto set = build_hyper_clause_set(ir);
  const auto sub = class_id(ir, GetParam().sub).v, sup = class_id(ir, GetParam().sup).v;
  EXPECT_EQ(run_hyper_iterative(*set, sub, sup, std::nullopt), GetParam().verdict);
  // The amortised and the per-run index give the same answer.
  ScopedSwitch full(SwitchId::ClassifyAmortizeIdx, "0");
  auto own = build_hyper_clause_set(ir);
  EXPECT_EQ(run_hyper_iterative(*own, sub, sup, std::nullopt), GetParam().verdict);
}

constexpr const char* kCaseSplit =
    "SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D) Declaration(Class(:E))";
constexpr const char* kDefinition =
    "EquivalentClasses(:D ObjectIntersectionOf(:B ObjectSomeValuesFrom(:r :C)))"
    "SubClassOf(:A :B) SubClassOf(:A ObjectSomeValuesFrom(:s :C)) SubObjectPropertyOf(:s :r)";

// Age bands over one functional value: a value required outside a key (¬Adult,
// ∀age.¬young) lands on a node the keys must place in one band.
constexpr const char* kAgeBands =
    "FunctionalDataProperty(:age) DataPropertyRange(:age xsd:nonNegativeInteger)"
    "SubClassOf(:Person DataSomeValuesFrom(:age xsd:nonNegativeInteger))"
    "EquivalentClasses(:Adult ObjectIntersectionOf(:Person DataAllValuesFrom(:age "
    "DatatypeRestriction(xsd:nonNegativeInteger xsd:minInclusive \"20\"^^xsd:integer))))"
    "EquivalentClasses(:Teen ObjectIntersectionOf(:Person ObjectComplementOf(:Adult) DataAllValuesFrom(:age "
    "DataComplementOf(DatatypeRestriction(xsd:nonNegativeInteger xsd:maxExclusive \"10\"^^xsd:integer)))))"
    "EquivalentClasses(:Teenager ObjectIntersectionOf(:Person DataAllValuesFrom(:age "
    "DatatypeRestriction(xsd:nonNegativeInteger xsd:minInclusive \"10\"^^xsd:integer "
    "xsd:maxExclusive \"20\"^^xsd:integer))))"
    "SubClassOf(:NoBand ObjectIntersectionOf(:Person ObjectComplementOf(:Adult) ObjectComplementOf(:Teen) "
    "DataAllValuesFrom(:age DataComplementOf(DatatypeRestriction(xsd:nonNegativeInteger "
    "xsd:maxExclusive \"10\"^^xsd:integer)))))"
    "Declaration(Class(:Z))";

// Family's parents: a child's parent x, its father and its mother are three
// parents where two are allowed, so x merges with the father or the mother,
// whose age and sex were open choices until then.
constexpr const char* kParents =
    "InverseObjectProperties(:hasChild :hasParent) FunctionalObjectProperty(:hasFather)"
    "FunctionalObjectProperty(:hasMother) SubObjectPropertyOf(:hasFather :hasParent)"
    "SubObjectPropertyOf(:hasMother :hasParent) ObjectPropertyRange(:hasFather :Male)"
    "ObjectPropertyRange(:hasMother :Female) ObjectPropertyRange(:hasChild :Person)"
    "DisjointUnion(:Person :Female :Male)"
    "SubClassOf(:Person ObjectSomeValuesFrom(:hasFather owl:Thing))"
    "SubClassOf(:Person ObjectSomeValuesFrom(:hasMother owl:Thing))"
    "SubClassOf(:Person ObjectMaxCardinality(2 :hasParent owl:Thing))"
    "FunctionalDataProperty(:age) DataPropertyRange(:age xsd:nonNegativeInteger)"
    "SubClassOf(:Person DataSomeValuesFrom(:age xsd:nonNegativeInteger))"
    "EquivalentClasses(:Adult ObjectIntersectionOf(:Person DataAllValuesFrom(:age "
    "DatatypeRestriction(xsd:nonNegativeInteger xsd:minInclusive \"20\"^^xsd:integer))))"
    "EquivalentClasses(:Child ObjectIntersectionOf(:Person DataAllValuesFrom(:age "
    "DatatypeRestriction(xsd:nonNegativeInteger xsd:maxExclusive \"10\"^^xsd:integer))))"
    "EquivalentClasses(:TwoChildren ObjectMinCardinality(2 :hasChild owl:Thing))"
    "EquivalentClasses(:FourChildren ObjectMinCardinality(4 :hasChild owl:Thing))";

INSTANTIATE_TEST_SUITE_P(
    Cases, HyperPairs,
    ::testing::Values(PairCase{"SameClass", kCaseSplit, "D", "D", HyperVerdict::Closed},
                      PairCase{"CaseAnalysis", kCaseSplit, "A", "D", HyperVerdict::Closed},
                      PairCase{"NotEntailed", kCaseSplit, "A", "B", HyperVerdict::Model},
                      PairCase{"UnrelatedClass", kCaseSplit, "E", "A", HyperVerdict::Model},
                      PairCase{"DefinitionThroughSubRole", kDefinition, "A", "D", HyperVerdict::Closed},
                      PairCase{"InverseBelowNamedRole",
                               "SubObjectPropertyOf(ObjectInverseOf(:q) :r)"
                               "SubClassOf(:A ObjectSomeValuesFrom(ObjectInverseOf(:q) :B))"
                               "EquivalentClasses(:D ObjectSomeValuesFrom(:r :B))",
                               "A", "D", HyperVerdict::Closed},
                      PairCase{"AllSomeClash",
                               "SubClassOf(:A ObjectSomeValuesFrom(:r :B)) SubClassOf(:A ObjectAllValuesFrom(:r :C))"
                               "DisjointClasses(:B :C) Declaration(Class(:Z))",
                               "A", "Z", HyperVerdict::Closed},
                      PairCase{"ValueOutsideTwoBandsLiesInTheThird", kAgeBands, "Teen", "Teenager",
                               HyperVerdict::Closed},
                      PairCase{"ValueInsideABandIsOutsideTheOthers", kAgeBands, "Teenager", "Teen",
                               HyperVerdict::Closed},
                      PairCase{"NoValueLeftForTheNode", kAgeBands, "NoBand", "Z", HyperVerdict::Closed},
                      PairCase{"ModelWithValuesOutsideKeysIsTrusted", kAgeBands, "Teenager", "Adult",
                               HyperVerdict::Model},
                      PairCase{"ModelOfABandlessPersonIsTrusted", kAgeBands, "Person", "Teenager",
                               HyperVerdict::Model},
                      PairCase{"ParentMergedWithAChildsFather", kParents, "FourChildren", "Adult",
                               HyperVerdict::Model},
                      PairCase{"ParentOfFourIsParentOfTwo", kParents, "FourChildren", "TwoChildren",
                               HyperVerdict::Closed}),
    [](const auto& info) { return std::string(info.param.name); });

// :A needs a :p value in 0..1000 that is neither at most 500 nor at least
// first_allowed: with 501 no value is left, and the clause that covers 0..1000
// with the two keys closes the run.
std::string wide_gap(const char* first_allowed) {
  return std::string(
             "Declaration(Class(:B)) SubClassOf(:A DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer "
             "xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"1000\"^^xsd:integer))) "
             "SubClassOf(:A DataAllValuesFrom(:p DataComplementOf(DatatypeRestriction(xsd:integer xsd:maxInclusive "
             "\"500\"^^xsd:integer)))) SubClassOf(:A DataAllValuesFrom(:p DataComplementOf(DatatypeRestriction("
             "xsd:integer xsd:minInclusive \"") +
         first_allowed + "\"^^xsd:integer))))";
}
const std::string kGap501 = wide_gap("501");
const std::string kGap502 = wide_gap("502");
// The node of :A's value holds only 0..20; 0..10 and 11..20 appear in key axioms
// alone, which hold for every value and so exclude nothing from that node.
constexpr const char* kKeyAxiomsOnly =
    "Declaration(Class(:B)) SubClassOf(:A DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive "
    "\"0\"^^xsd:integer xsd:maxInclusive \"20\"^^xsd:integer))) SubClassOf(:C DataSomeValuesFrom(:p "
    "DatatypeRestriction(xsd:integer xsd:minInclusive \"0\"^^xsd:integer xsd:maxInclusive \"10\"^^xsd:integer))) "
    "SubClassOf(:D DataSomeValuesFrom(:p DatatypeRestriction(xsd:integer xsd:minInclusive \"11\"^^xsd:integer "
    "xsd:maxInclusive \"20\"^^xsd:integer))) SubClassOf(:E DataAllValuesFrom(:p DataComplementOf("
    "DatatypeRestriction(xsd:integer xsd:minInclusive \"100\"^^xsd:integer xsd:maxInclusive \"200\"^^xsd:integer))))";

INSTANTIATE_TEST_SUITE_P(DataValues, HyperPairs,
                         ::testing::Values(PairCase{"ValueLeft", kGap502.c_str(), "A", "B", HyperVerdict::Model},
                                           PairCase{"NoValueLeft", kGap501.c_str(), "A", "B",
                                                    HyperVerdict::Closed},
                                           PairCase{"KeyAxiomsExcludeNothing", kKeyAxiomsOnly, "A", "B",
                                                    HyperVerdict::Model},
                                           // A value outside every string, on a node without a key: no
                                           // value of another space is tried, so the model proves nothing.
                                           PairCase{"KeylessNodeOutsideAllStrings",
                                                    "Declaration(Class(:B)) SubClassOf(:A DataSomeValuesFrom(:p "
                                                    "DataComplementOf(xsd:string)))",
                                                    "A", "B", HyperVerdict::Untrusted}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HyperIterative, ASameClassTestClosesInTheFirstPassAndCountsAsDecided) {
  auto ir = convert_ofn("Declaration(Class(:A))");
  auto set = build_hyper_clause_set(ir);
  const auto a = class_id(ir, "A").v;
  EXPECT_EQ(run_hyper_iterative(*set, a, a, std::nullopt), HyperVerdict::Closed);
  EXPECT_EQ(set->shallow_decided.load(), 1u);
  EXPECT_EQ(set->shallow_missed.load(), 0u);
}

TEST(HyperIterative, WithoutIterativeDeepeningOneRunAndNoCounters) {
  ScopedSwitch off(SwitchId::IterativeDeepening, "0");
  auto ir = convert_ofn("SubClassOf(:A :B)");
  auto set = build_hyper_clause_set(ir);
  EXPECT_EQ(run_hyper_iterative(*set, class_id(ir, "A").v, class_id(ir, "B").v, std::nullopt), HyperVerdict::Closed);
  EXPECT_EQ(set->shallow_decided.load() + set->shallow_missed.load(), 0u);
}

TEST(HyperIterative, APassedDeadlineStallsAndCountsAsMissed) {
  auto ir = convert_ofn("SubClassOf(:A :B)");
  auto set = build_hyper_clause_set(ir);
  const auto verdict = run_hyper_iterative(*set, class_id(ir, "A").v, class_id(ir, "B").v,
                                           Clock::now() - std::chrono::seconds(1));
  EXPECT_EQ(verdict, HyperVerdict::Stalled);
  EXPECT_EQ(set->shallow_missed.load(), 1u);
}

TEST(HyperIterative, EnoughWasteSkipsTheShallowPassesAndTheCounters) {
  auto ir = convert_ofn("SubClassOf(:A :B)");
  auto set = build_hyper_clause_set(ir);
  set->shallow_waste_us = 1'000'000;
  EXPECT_EQ(run_hyper_iterative(*set, class_id(ir, "A").v, class_id(ir, "B").v, std::nullopt), HyperVerdict::Closed);
  EXPECT_EQ(set->shallow_decided.load() + set->shallow_missed.load(), 0u);
  ScopedSwitch never(SwitchId::IdShallowWasteMs, "0");
  EXPECT_EQ(run_hyper_iterative(*set, class_id(ir, "A").v, class_id(ir, "B").v, std::nullopt), HyperVerdict::Closed);
  EXPECT_EQ(set->shallow_decided.load(), 1u);
}

struct ScheduleCase {
  const char* text;
  std::vector<std::uint64_t> schedule;
};

class HyperSchedule : public ::testing::TestWithParam<ScheduleCase> {};

TEST_P(HyperSchedule, ReadsValidListsAndFallsBackOtherwise) {
  ScopedSwitch s(SwitchId::IdSchedule, GetParam().text);
  EXPECT_EQ(hyper_id_schedule(), GetParam().schedule);
}

const std::vector<std::uint64_t> kDefault{8, 32, 128, 512};

INSTANTIATE_TEST_SUITE_P(Cases, HyperSchedule,
                         ::testing::Values(ScheduleCase{" 4, 64 ,+300", {4, 64, 300}}, ScheduleCase{"256", {256}},
                                           ScheduleCase{"8,32,128", kDefault}, ScheduleCase{"8,8,512", kDefault},
                                           ScheduleCase{"8,,512", kDefault}, ScheduleCase{"", kDefault},
                                           ScheduleCase{"8,-1,512", kDefault}));

struct WedgeCase {
  const char* name;
  const char* body;
  HyperOutcome outcome;
};

class Wedge : public ::testing::TestWithParam<WedgeCase> {};

TEST_P(Wedge, DecidesSmallKnowledgeBases) {
  WedgeClauseSet set = build_wedge_clause_set(convert_ofn(GetParam().body));
  HyperEngine engine = build_wedge_engine(set);
  EXPECT_EQ(engine.run(256, std::nullopt), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wedge,
    ::testing::Values(
        WedgeCase{"Consistent", "SubClassOf(:A :B) ClassAssertion(:A :a)", HyperOutcome::Sat},
        WedgeCase{"DisjointTypes", "DisjointClasses(:A :B) ClassAssertion(:A :a) ClassAssertion(:B :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"SameDifferent", "SameIndividual(:a :b) DifferentIndividuals(:a :b)", HyperOutcome::Unsat},
        WedgeCase{"FunctionalWithoutUniqueNames",
                  "FunctionalObjectProperty(:r) ObjectPropertyAssertion(:r :a :b) ObjectPropertyAssertion(:r :a :c)",
                  HyperOutcome::Sat},
        WedgeCase{"IrreflexiveSelf", "IrreflexiveObjectProperty(:R) ClassAssertion(ObjectHasSelf(:R) :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"HasValueNegated",
                  "ClassAssertion(ObjectHasValue(:R :b) :a) NegativeObjectPropertyAssertion(:R :a :b)",
                  HyperOutcome::Unsat},
        WedgeCase{"TransitiveNegated",
                  "TransitiveObjectProperty(:R) ObjectPropertyAssertion(:R :a :b) ObjectPropertyAssertion(:R :b :c)"
                  "NegativeObjectPropertyAssertion(:R :a :c)",
                  HyperOutcome::Unsat},
        WedgeCase{"SymmetricAsymmetric",
                  "SymmetricObjectProperty(:R) AsymmetricObjectProperty(:R) ObjectPropertyAssertion(:R :a :b)",
                  HyperOutcome::Unsat},
        WedgeCase{"SubRoleIrreflexive",
                  "SubObjectPropertyOf(:S :R) IrreflexiveObjectProperty(:R) ObjectPropertyAssertion(:S :a :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"AsymmetricLoop", "AsymmetricObjectProperty(:R) ObjectPropertyAssertion(:R :a :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"InverseFunctional",
                  "InverseFunctionalObjectProperty(:R) ObjectPropertyAssertion(:R :a :c)"
                  "ObjectPropertyAssertion(:R :b :c) DifferentIndividuals(:a :b)",
                  HyperOutcome::Unsat},
        WedgeCase{"DisjointRoles",
                  "DisjointObjectProperties(:R :S) ObjectPropertyAssertion(:R :a :b) ObjectPropertyAssertion(:S :a :b)",
                  HyperOutcome::Unsat},
        WedgeCase{"ReflexiveNegated", "ReflexiveObjectProperty(:R) NegativeObjectPropertyAssertion(:R :a :a)",
                  HyperOutcome::Unsat},
        // s stands for inv(q), so s ⊑ r relates roles of two directions: the s-successor is an r-successor,
        // the at-most merges it with the other one, and ∀q.P reaches back to a.
        WedgeCase{"InverseSubRoleUnderAtMost",
                  "InverseObjectProperties(:q :s) SubObjectPropertyOf(:s :r)"
                  "ClassAssertion(ObjectIntersectionOf(ObjectComplementOf(:P) ObjectMaxCardinality(1 :r)"
                  " ObjectSomeValuesFrom(:r ObjectAllValuesFrom(:q :P)) ObjectSomeValuesFrom(:s :P)) :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"InverseIntoNamedRoleAssertion",
                  "SubObjectPropertyOf(ObjectInverseOf(:q) :r) ObjectPropertyAssertion(:q :b :a)"
                  "NegativeObjectPropertyAssertion(:r :a :b)",
                  HyperOutcome::Unsat},
        // Everything has a p-edge to spy, which has at most two p-predecessors, so the three r-successors of
        // a cannot all exist; blocking two of them as copies of the first would hide their edges to spy.
        WedgeCase{"SpyPointBoundsTheDomain",
                  "InverseObjectProperties(:p :q) SubClassOf(owl:Thing ObjectSomeValuesFrom(:p ObjectOneOf(:spy)))"
                  "ClassAssertion(ObjectMaxCardinality(2 :q) :spy) ClassAssertion(ObjectMinCardinality(3 :r) :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"SpyPointWithRoomEnough",
                  "InverseObjectProperties(:p :q) SubClassOf(owl:Thing ObjectSomeValuesFrom(:p ObjectOneOf(:spy)))"
                  "ClassAssertion(ObjectMaxCardinality(5 :q) :spy) ClassAssertion(ObjectMinCardinality(3 :r) :a)",
                  HyperOutcome::Sat},
        // a = b closes R(a, b) into a loop: a is its own R-predecessor beside c.
        WedgeCase{"LoopClosedByAMergeCountsAsAPredecessor",
                  "ObjectPropertyAssertion(:R :a :b) SameIndividual(:a :b) ObjectPropertyAssertion(:R :c :a)"
                  "DifferentIndividuals(:a :c) ClassAssertion(ObjectMaxCardinality(1 ObjectInverseOf(:R)) :a)",
                  HyperOutcome::Unsat},
        WedgeCase{"LoopClosedByAMergeCountsAsASuccessor",
                  "ObjectPropertyAssertion(:R :a :b) SameIndividual(:a :b) ObjectPropertyAssertion(:R :a :c)"
                  "DifferentIndividuals(:a :c) ClassAssertion(ObjectMaxCardinality(1 :R) :a)",
                  HyperOutcome::Unsat},
        // i1 needs three R-predecessors in A0, and A0 holds only i1 and i2.
        WedgeCase{"AtMostOverAComplexFiller",
                  "SubClassOf(:A0 ObjectOneOf(:i1 :i2)) ObjectPropertyAssertion(:R :i0 :i1)"
                  "ClassAssertion(ObjectMaxCardinality(0 :R ObjectMaxCardinality(2 ObjectInverseOf(:R) :A0)) :i0)",
                  HyperOutcome::Unsat},
        WedgeCase{"InverseEquivalentRoleAssertion",
                  "EquivalentObjectProperties(ObjectInverseOf(:q) :r) ObjectPropertyAssertion(:r :a :b)"
                  "NegativeObjectPropertyAssertion(:q :b :a)",
                  HyperOutcome::Unsat}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Wedge, KnobsFollowTheirSwitches) {
  WedgeClauseSet set = build_wedge_clause_set(convert_ofn("ClassAssertion(:A :a)"));
  {
    HyperEngine e = build_wedge_engine(set);
    EXPECT_TRUE(e.incremental_fixpoint && e.double_blocking && e.precise_card_deps && e.mrv && e.adaptive_budget);
    EXPECT_FALSE(e.semantic_branching);
    EXPECT_TRUE(e.nominal_range.enabled);
    EXPECT_EQ(e.nominal_range.first, set.class_count);
  }
  ScopedSwitch a(SwitchId::HyperIncrementalFixpoint, "");
  ScopedSwitch b(SwitchId::SemanticBranching, "yes");
  ScopedSwitch c(SwitchId::HyperDoubleBlock, "0");
  ScopedSwitch d(SwitchId::AdaptiveBudget, "");  // only "0" turns it off
  ScopedSwitch m(SwitchId::MrvOrdering, "0");
  HyperEngine e = build_wedge_engine(set);
  EXPECT_FALSE(e.incremental_fixpoint || e.double_blocking || e.mrv);
  EXPECT_TRUE(e.semantic_branching && e.adaptive_budget);
}

}  // namespace
}  // namespace kelmon::reasoner
