#include "reasoner/explanation/subset_oracle.h"

#include <gtest/gtest.h>

#include <regex>

#include "explain_support.h"
#include "owl/vocabulary.h"
#include "reasoner/explanation/justification_search.h"
#include "reasoner/explanation/oracle_mode.h"
#include "reasoner/explanation/repairs.h"
#include "reasoner/explanation/subset_ontology.h"
#include "test_kernel.h"

namespace kelmon::explain {
namespace {

using kelmon::testing::load_ofn;
using testing::ScopedSwitch;
using testing::iri;
using testing::TestKernel;

template <class T>
std::size_t variant_index_of() {
  return Axiom(std::in_place_type<T>).index();
}

JustifyQuery query(QueryKind kind, std::vector<std::string> locals) {
  for (auto& l : locals) l = iri(l);
  return JustifyQuery{kind, std::move(locals)};
}

struct OracleCase {
  const char* name;
  const char* ontology;
  QueryKind kind;
  std::vector<std::string> names;
  bool entailed;
};

class OracleKindTests : public ::testing::TestWithParam<OracleCase> {};

TEST_P(OracleKindTests, AnswersThroughTheKernel) {
  const auto& c = GetParam();
  ScopedSwitch trace{SwitchId::JustifyTrace, std::nullopt};
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  auto answer = oracle.entails(load_ofn(c.ontology).axioms, query(c.kind, c.names));
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(*answer, c.entailed);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OracleKindTests,
    ::testing::Values(
        OracleCase{"subclass", "SubClassOf(:A :B) SubClassOf(:B :C)", QueryKind::Subclass, {"A", "C"}, true},
        OracleCase{"not_subclass", "SubClassOf(:A :B) SubClassOf(:B :C)", QueryKind::Subclass, {"C", "A"}, false},
        OracleCase{"equivalent", "SubClassOf(:A :B) SubClassOf(:B :A)", QueryKind::Equivalent, {"A", "B"}, true},
        OracleCase{"half_equivalent", "SubClassOf(:A :B)", QueryKind::Equivalent, {"B", "A"}, false},
        OracleCase{"disjoint", "DisjointClasses(:A :B)", QueryKind::Disjoint, {"A", "B"}, true},
        OracleCase{"not_disjoint", "SubClassOf(:A :B)", QueryKind::Disjoint, {"A", "B"}, false},
        OracleCase{"unsat", "SubClassOf(:A :B) SubClassOf(:A :C) DisjointClasses(:B :C)", QueryKind::Unsat, {"A"},
                   true},
        OracleCase{"instance", "ClassAssertion(:A :a) SubClassOf(:A :B)", QueryKind::Instance, {"a", "B"}, true},
        OracleCase{"not_instance", "ClassAssertion(:A :a) Declaration(Class(:B))", QueryKind::Instance, {"a", "B"},
                   false},
        OracleCase{"inconsistent", "ClassAssertion(:A :a) SubClassOf(:A owl:Nothing)", QueryKind::Inconsistent, {},
                   true},
        OracleCase{"consistent", "ClassAssertion(:A :a)", QueryKind::Inconsistent, {}, false},
        OracleCase{"inconsistent_entails_same", "ClassAssertion(:A :a) SubClassOf(:A owl:Nothing)", QueryKind::Same, {"a", "b"},
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OracleTests, EquivalenceAsksTheReverseOnlyAfterTheForwardHeld) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  ASSERT_TRUE(oracle.entails(load_ofn("SubClassOf(:A :B)").axioms, query(QueryKind::Equivalent, {"B", "A"})));
  EXPECT_EQ(kernel.count("entails_subclass"), 1u);
  ASSERT_TRUE(oracle.entails(load_ofn("SubClassOf(:A :B)").axioms, query(QueryKind::Equivalent, {"A", "B"})));
  EXPECT_EQ(kernel.count("entails_subclass"), 3u);
}

TEST(OracleTests, UnknownNamesFailWithTheKernelError) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  auto answer = oracle.entails(load_ofn("SubClassOf(:A :B)").axioms, query(QueryKind::Subclass, {"A", "Q"}));
  ASSERT_FALSE(answer.has_value());
  EXPECT_EQ(answer.error(), ReasonerError(UnknownClass{iri("Q")}));
}

TEST(OracleTests, DisjointnessAsksTheProbeClassDefinedAsTheIntersection) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  ASSERT_TRUE(oracle.entails(load_ofn("DisjointClasses(:A :B)").axioms, query(QueryKind::Disjoint, {"A", "B"})));
  ASSERT_EQ(kernel.calls.size(), 1u);
  EXPECT_EQ(kernel.calls[0].args, std::vector<std::string>{std::string(kProbeClass)});
  EXPECT_TRUE(kernel.calls[0].ir.vocabulary.classes.get(kProbeClass).has_value());
}

// Which probe axioms the kernel's consistency test was given.
struct ProbeCase {
  const char* name;
  QueryKind kind;
  std::vector<std::string> names;
  std::vector<std::string> individuals;  // present in the probed ontology
  std::size_t assertion_index;           // the IR axiom kind the probe adds
};

class ProbeTests : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeTests, ProbedCopyHoldsTheProbeAxioms) {
  const auto& c = GetParam();
  TestKernel kernel;
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{false}; };
  SubsetOracle oracle(kernel);
  const auto loaded = load_ofn("Declaration(ObjectProperty(:p)) Declaration(ObjectProperty(:q))");
  auto answer = oracle.entails(loaded.axioms, JustifyQuery{c.kind, c.names});
  ASSERT_TRUE(answer.has_value());
  EXPECT_TRUE(*answer);
  ASSERT_EQ(kernel.count("check_consistency"), 1u);
  const InternalOntology& ir = kernel.calls.back().ir;
  for (const auto& i : c.individuals) EXPECT_TRUE(ir.vocabulary.individuals.get(i).has_value()) << i;
  bool found = false;
  for (const Axiom& a : ir.axioms) found = found || a.index() == c.assertion_index;
  EXPECT_TRUE(found);
  EXPECT_EQ(loaded.axioms.size(), 3u);  // the candidate itself is not changed
}

const std::string kA(kProbeSubject), kB(kProbeObject);

INSTANTIATE_TEST_SUITE_P(
    Table, ProbeTests,
    ::testing::Values(
        ProbeCase{"subproperty", QueryKind::SubProperty, {iri("p"), iri("q")}, {kA, kB},
                  variant_index_of<NegativeObjectPropertyAssertion>()},
        ProbeCase{"disjoint_property", QueryKind::DisjointProperty, {iri("p"), iri("q")}, {kA, kB},
                  variant_index_of<ObjectPropertyAssertion>()},
        ProbeCase{"same", QueryKind::Same, {iri("x"), iri("y")}, {iri("x"), iri("y")},
                  variant_index_of<DifferentIndividuals>()},
        ProbeCase{"different", QueryKind::Different, {iri("x"), iri("y")}, {iri("x")},
                  variant_index_of<SameIndividual>()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OracleTests, PropertyValueAnswersFromTheTriplesThenByProbe) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  const auto candidate = load_ofn("ObjectPropertyAssertion(:p :a :b)").axioms;
  const auto q = query(QueryKind::Property, {"a", "p", "b"});
  kernel.triples = [](const owl::AxiomSet&) -> Result<std::vector<PropertyTriple>> {
    return std::vector<PropertyTriple>{{iri("a"), iri("p"), iri("b")}};
  };
  EXPECT_EQ(oracle.entails(candidate, q), Result<bool>(true));
  EXPECT_EQ(kernel.count("check_consistency"), 0u);

  kernel.triples = [](const owl::AxiomSet&) -> Result<std::vector<PropertyTriple>> {
    return std::unexpected(ReasonerError(Inconsistent{}));
  };
  EXPECT_EQ(oracle.entails(candidate, q), Result<bool>(true));

  kernel.triples = [](const owl::AxiomSet&) -> Result<std::vector<PropertyTriple>> {
    return std::unexpected(ReasonerError(NoVerdict{}));
  };
  EXPECT_FALSE(oracle.entails(candidate, q).has_value());

  kernel.triples = nullptr;  // no triple: the negative assertion decides
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{false}; };
  EXPECT_EQ(oracle.entails(candidate, q), Result<bool>(true));
  EXPECT_EQ(kernel.count("check_consistency"), 1u);
}

TEST(OracleTests, DataValueProbesTheNegatedLiteral) {
  TestKernel kernel;
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{true}; };
  SubsetOracle oracle(kernel);
  auto answer = oracle.entails(load_ofn("DataPropertyAssertion(:d :a \"5\"^^xsd:integer)").axioms,
                               JustifyQuery{QueryKind::DataValue, {iri("a"), iri("d"), "6",
                                                                   "http://www.w3.org/2001/XMLSchema#integer"}});
  ASSERT_TRUE(answer.has_value());
  EXPECT_FALSE(*answer);
  EXPECT_EQ(kernel.count("check_consistency"), 1u);
}

TEST(OracleTests, AProbeConversionCannotRepresentIsRefusedNotAnswered) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  auto answer = oracle.entails(load_ofn("DataPropertyAssertion(:d :a \"5\"^^xsd:integer)").axioms,
                               JustifyQuery{QueryKind::DataValue, {iri("a"), iri("d"), "5", "http://x/no-such-type"}});
  ASSERT_FALSE(answer.has_value());
  EXPECT_EQ(reasoner_error_class(answer.error()), ErrorClass::UnsupportedAxiomError);
  EXPECT_EQ(reasoner_error_message(answer.error()),
            "unsupported axiom: NegativeDataPropertyAssertion: unsupported data range");
  EXPECT_EQ(kernel.count("check_consistency"), 0u);
}

TEST(OracleTests, KernelErrorsPassThrough) {
  TestKernel kernel;
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> {
    return std::unexpected(ReasonerError(NoVerdict{}));
  };
  SubsetOracle oracle(kernel);
  for (QueryKind kind : {QueryKind::Inconsistent, QueryKind::Same, QueryKind::SubProperty}) {
    auto answer = oracle.entails(load_ofn("ClassAssertion(:A :a)").axioms, JustifyQuery{kind, {iri("a"), iri("b")}});
    ASSERT_FALSE(answer.has_value());
    EXPECT_TRUE(std::holds_alternative<NoVerdict>(answer.error()));
  }
}

// Every kind through the built kernel, on one candidate: a ⊑ B by a chain,
// p(a, b) told, q(a, c) only through the role hierarchy and an inverse, and a
// data value that holds only through the data-property hierarchy.
const char* const kBuiltCandidate =
    "Declaration(Class(:Spare)) Declaration(NamedIndividual(:z)) Declaration(ObjectProperty(:r)) "
    "SubClassOf(:A :B) ClassAssertion(:A :a) ObjectPropertyAssertion(:p :a :b) SubObjectPropertyOf(:p :q) "
    "InverseObjectProperties(:q :qi) ObjectPropertyAssertion(:qi :c :a) DisjointClasses(:B :C) "
    "ClassAssertion(:C :c) DataPropertyAssertion(:d :a \"5\"^^xsd:integer) SubDataPropertyOf(:d :e)";

struct BuiltCase {
  const char* name;
  QueryKind kind;
  std::vector<std::string> names;
  Result<bool> expected;
};

class BuiltKernelTests : public ::testing::TestWithParam<BuiltCase> {};

TEST_P(BuiltKernelTests, DecidesEveryKind) {
  const auto& c = GetParam();
  SubsetOracle oracle(built_kernel());
  EXPECT_EQ(oracle.entails(load_ofn(kBuiltCandidate).axioms, JustifyQuery{c.kind, c.names}), c.expected);
}

const std::string kXsdInteger = "http://www.w3.org/2001/XMLSchema#integer";

INSTANTIATE_TEST_SUITE_P(
    Table, BuiltKernelTests,
    ::testing::Values(
        BuiltCase{"subclass", QueryKind::Subclass, {iri("A"), iri("B")}, true},
        BuiltCase{"not_subclass", QueryKind::Subclass, {iri("B"), iri("A")}, false},
        BuiltCase{"satisfiable", QueryKind::Unsat, {iri("A")}, false},
        BuiltCase{"consistent", QueryKind::Inconsistent, {}, false},
        BuiltCase{"instance_by_chain", QueryKind::Instance, {iri("a"), iri("B")}, true},
        BuiltCase{"instance_of_thing", QueryKind::Instance, {iri("z"), std::string(owl::vocab::kOwlThing)}, true},
        BuiltCase{"instance_of_nothing", QueryKind::Instance, {iri("a"), std::string(owl::vocab::kOwlNothing)},
                  false},
        BuiltCase{"not_instance", QueryKind::Instance, {iri("b"), iri("B")}, false},
        // c is a C, and C is disjoint from B, which holds A.
        BuiltCase{"instance_of_complement_free_class", QueryKind::Instance, {iri("c"), iri("A")}, false},
        BuiltCase{"instance_unknown_class", QueryKind::Instance, {iri("nobody"), iri("Nowhere")},
                  std::unexpected(ReasonerError(UnknownClass{iri("Nowhere")}))},
        BuiltCase{"instance_unknown_individual", QueryKind::Instance, {iri("nobody"), iri("B")},
                  std::unexpected(ReasonerError(UnknownIndividual{iri("nobody")}))},
        BuiltCase{"property_told", QueryKind::Property, {iri("a"), iri("p"), iri("b")}, true},
        BuiltCase{"property_by_hierarchy", QueryKind::Property, {iri("a"), iri("q"), iri("b")}, true},
        BuiltCase{"property_by_inverse", QueryKind::Property, {iri("a"), iri("q"), iri("c")}, true},
        BuiltCase{"property_reversed", QueryKind::Property, {iri("b"), iri("p"), iri("a")}, false},
        BuiltCase{"property_unrelated_role", QueryKind::Property, {iri("a"), iri("r"), iri("b")}, false},
        BuiltCase{"different_by_disjoint_types", QueryKind::Different, {iri("a"), iri("c")}, true},
        BuiltCase{"not_different", QueryKind::Different, {iri("a"), iri("b")}, false},
        BuiltCase{"not_same", QueryKind::Same, {iri("a"), iri("b")}, false},
        BuiltCase{"subproperty", QueryKind::SubProperty, {iri("p"), iri("q")}, true},
        BuiltCase{"data_value_by_hierarchy", QueryKind::DataValue, {iri("a"), iri("e"), "5", kXsdInteger}, true},
        BuiltCase{"data_value_other", QueryKind::DataValue, {iri("a"), iri("e"), "6", kXsdInteger}, false},
        BuiltCase{"subdata_property", QueryKind::SubDataProperty, {iri("d"), iri("e")}, true},
        BuiltCase{"not_subdata_property", QueryKind::SubDataProperty, {iri("e"), iri("d")}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OracleTests, BuiltKernelFindsInconsistencyBySaturation) {
  SubsetOracle oracle(built_kernel());
  EXPECT_FALSE(oracle.saturation_finds_inconsistency(load_ofn(kBuiltCandidate).axioms));
  const auto clash = load_ofn("ClassAssertion(:A :a) ClassAssertion(:B :a) DisjointClasses(:A :B)").axioms;
  EXPECT_TRUE(oracle.saturation_finds_inconsistency(clash));
  // Everything follows from an inconsistent candidate, the property value too.
  EXPECT_EQ(oracle.entails(clash, JustifyQuery{QueryKind::Property, {iri("a"), iri("p"), iri("b")}}),
            Result<bool>(true));
  EXPECT_EQ(oracle.entails(clash, JustifyQuery{QueryKind::Instance, {iri("a"), iri("A")}}), Result<bool>(true));
}

TEST(OracleTests, BuiltKernelJustifiesAnAboxClashBySaturationAlone) {
  ScopedSwitch sat{SwitchId::JustifySatOracle, std::nullopt};
  SubsetOracle oracle(built_kernel());
  std::vector<owl::Axiom> logical;
  for (const auto& a :
       load_ofn("ClassAssertion(:A :a) ClassAssertion(:B :a) DisjointClasses(:A :B) SubClassOf(:C :D)").axioms)
    logical.push_back(a.axiom);
  auto all = find_all_justifications(oracle, {}, logical, JustifyQuery{}, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 1u);
  EXPECT_EQ((*all)[0].size(), 3u);
  EXPECT_EQ(saturation_oracle_mode(), 0);
  // Without a clash the full consistency test answers: nothing to justify.
  std::vector<owl::Axiom> no_clash;
  for (const auto& a : load_ofn("ClassAssertion(:A :a) DisjointClasses(:A :B)").axioms) no_clash.push_back(a.axiom);
  auto none = find_justification(oracle, {}, no_clash, JustifyQuery{});
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->has_value());
}

TEST(OracleTests, SaturationModeAnswersInconsistencyFromAboxSaturationOnly) {
  ScopedSwitch trace{SwitchId::JustifyTrace, std::nullopt};
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  set_saturation_oracle_mode(1);
  auto answer = oracle.entails(load_ofn("ClassAssertion(:A :a) SubClassOf(:A owl:Nothing)").axioms, JustifyQuery{});
  set_saturation_oracle_mode(0);
  ASSERT_TRUE(answer.has_value());
  EXPECT_TRUE(*answer);
  EXPECT_EQ(kernel.count("abox_saturation_inconsistent"), 1u);
  EXPECT_EQ(kernel.count("check_consistency"), 0u);
}

TEST(OracleTests, TraceLineNumbersEveryInconsistencyTest) {
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  const auto candidate = load_ofn("ClassAssertion(:A :a) SubClassOf(:A owl:Nothing)").axioms;
  {
    ScopedSwitch trace{SwitchId::JustifyTrace, "yes"};
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(oracle.entails(candidate, JustifyQuery{}).has_value());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  }
  ScopedSwitch trace{SwitchId::JustifyTrace, "1"};
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(oracle.entails(candidate, JustifyQuery{}).has_value());
  set_saturation_oracle_mode(1);
  ASSERT_TRUE(oracle.entails(load_ofn("ClassAssertion(:A :a)").axioms, JustifyQuery{}).has_value());
  set_saturation_oracle_mode(0);
  const std::string err = ::testing::internal::GetCapturedStderr();
  std::smatch m;
  const std::regex line(
      "\\[justify-trace\\] call#(\\d+) verdict=INCONSISTENT \\d+ms engine=saturation axioms=3\n"
      "\\[justify-trace\\] call#(\\d+) verdict=consistent \\d+ms engine=saturation-only axioms=2\n");
  ASSERT_TRUE(std::regex_match(err, m, line)) << err;
  EXPECT_EQ(std::stoull(m[2]), std::stoull(m[1]) + 1);
}

TEST(OracleTests, JustificationsEndToEndThroughTheConvertingOracle) {
  // Ontology without declarations: every candidate still knows A and C.
  auto loaded = load_ofn("SubClassOf(:A :B) SubClassOf(:B :C) SubClassOf(:A :D) SubClassOf(:D :C) SubClassOf(:X :Y)");
  std::vector<owl::Axiom> logical;
  for (const auto& a : loaded.axioms) logical.push_back(a.axiom);
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  auto all = find_all_justifications(oracle, {}, logical, query(QueryKind::Subclass, {"A", "C"}), 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 2u);
  for (const auto& j : *all) {
    ASSERT_EQ(j.size(), 2u);
    // Minimal: each proper subset no longer entails the query.
    for (std::size_t drop = 0; drop < j.size(); ++drop) {
      std::vector<owl::Axiom> rest;
      for (std::size_t i = 0; i < j.size(); ++i)
        if (i != drop) rest.push_back(j[i]);
      const auto background = search_background({}, logical, query(QueryKind::Subclass, {"A", "C"}));
      EXPECT_EQ(oracle.entails(build_subset_ontology(background, rest), query(QueryKind::Subclass, {"A", "C"})),
                Result<bool>(false));
    }
  }
}

TEST(OracleTests, UndeclaredNamesThroughTheConvertingOracle) {
  auto logical_of = [](const char* text) {
    std::vector<owl::Axiom> out;
    for (const auto& a : load_ofn(text).axioms) out.push_back(a.axiom);
    return out;
  };
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  const auto chain = logical_of("SubClassOf(:A :B) SubClassOf(:B :C)");
  const auto ac = query(QueryKind::Subclass, {"A", "C"});
  auto all = find_all_justifications(oracle, {}, chain, ac, 10);
  ASSERT_TRUE(all.has_value());
  ASSERT_EQ(all->size(), 1u);
  EXPECT_EQ((*all)[0].size(), 2u);
  auto repairs = find_repairs(oracle, PreparedOntology{{}, chain, 0}, ac, 10);
  ASSERT_TRUE(repairs.has_value());
  ASSERT_EQ(repairs->repairs.size(), 2u);
  EXPECT_EQ(repairs->repairs[0].size(), 1u);

  const auto apart = logical_of("SubClassOf(:A :B) SubClassOf(:X :Z)");
  auto none = find_justification(oracle, {}, apart, query(QueryKind::Subclass, {"A", "Z"}));
  ASSERT_TRUE(none.has_value());
  EXPECT_FALSE(none->has_value());
  auto unknown = find_justification(oracle, {}, apart, query(QueryKind::Subclass, {"A", "Nowhere"}));
  ASSERT_FALSE(unknown.has_value());
  EXPECT_EQ(unknown.error(), ReasonerError(UnknownClass{iri("Nowhere")}));
}

}  // namespace
}  // namespace kelmon::explain
