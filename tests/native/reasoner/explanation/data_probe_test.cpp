#include "reasoner/explanation/data_probe.h"

#include <gtest/gtest.h>

#include "explain_support.h"
#include "reasoner/explanation/subset_oracle.h"
#include "test_kernel.h"

namespace kelmon::explain {
namespace {

using kelmon::testing::load_ofn;
using testing::iri;
using testing::TestKernel;

const std::string kXsd = "http://www.w3.org/2001/XMLSchema#";

struct CoverCase {
  const char* name;
  const char* ontology;
  bool covers;  // the probes stand for every value
};

class DataProbeCoverTests : public ::testing::TestWithParam<CoverCase> {};

TEST_P(DataProbeCoverTests, ProbesStandForEveryValueOrSaySo) {
  EXPECT_EQ(data_probe_literals(load_ofn(GetParam().ontology).axioms).covers_every_value, GetParam().covers);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataProbeCoverTests,
    ::testing::Values(
        CoverCase{"empty", "", true},
        CoverCase{"range_family", "DataPropertyRange(:d xsd:integer)", true},
        CoverCase{"range_constant", "DataPropertyRange(:d DataOneOf(\"5\"^^xsd:integer))", true},
        CoverCase{"integer_bound",
                  "DataPropertyRange(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer))", true},
        CoverCase{"decimal_bounds",
                  "DataPropertyRange(:d DatatypeRestriction(xsd:decimal xsd:minExclusive \"1.5\"^^xsd:decimal "
                  "xsd:maxInclusive \"9\"^^xsd:integer))",
                  true},
        CoverCase{"bounded_integer_type", "DataPropertyRange(:d xsd:nonNegativeInteger)", true},
        CoverCase{"positive_existential", "SubClassOf(:A DataSomeValuesFrom(:d xsd:integer))", true},
        CoverCase{"positive_universal", "SubClassOf(:A DataAllValuesFrom(:d xsd:string))", true},
        CoverCase{"any_literal_bound", "SubClassOf(:A DataMaxCardinality(1 :d))", true},
        CoverCase{"length_facet", "DataPropertyRange(:d DatatypeRestriction(xsd:string xsd:length \"2\"^^xsd:integer))",
                  false},
        CoverCase{"float_bound", "DataPropertyRange(:d DatatypeRestriction(xsd:float xsd:minInclusive \"1.0\"^^xsd:float))",
                  false},
        CoverCase{"complement", "DataPropertyRange(:d DataComplementOf(xsd:integer))", false},
        CoverCase{"other_datatype", "DataPropertyRange(:d xsd:boolean)", false},
        CoverCase{"other_literal", "DataPropertyAssertion(:d :a \"true\"^^xsd:boolean)", false},
        CoverCase{"language_tag", "DataPropertyAssertion(:d :a \"x\"@en)", false},
        CoverCase{"negative_existential", "SubClassOf(DataSomeValuesFrom(:d xsd:integer) owl:Nothing)", false},
        CoverCase{"defined_by_existential", "EquivalentClasses(:A DataSomeValuesFrom(:d xsd:integer))", false},
        CoverCase{"complement_of_has_value",
                  "SubClassOf(:A ObjectComplementOf(DataHasValue(:d \"5\"^^xsd:integer)))", false},
        CoverCase{"has_value_implies", "SubClassOf(DataHasValue(:d \"0\"^^xsd:integer) DataHasValue(:e \"0\"^^xsd:integer))",
                  false},
        CoverCase{"qualified_upper_bound", "SubClassOf(:A DataMaxCardinality(1 :d xsd:integer))", false},
        CoverCase{"bound_under_object_max",
                  "SubClassOf(:A ObjectMaxCardinality(1 :r DataSomeValuesFrom(:d xsd:integer)))", false},
        CoverCase{"datatype_definition", "DatatypeDefinition(:t xsd:integer)", false}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<std::string> texts(const DataProbes& probes, const std::string& datatype) {
  std::vector<std::string> out;
  for (const auto& l : probes.values)
    if (l.datatype.iri.str() == datatype) out.push_back(l.lexical);
  std::sort(out.begin(), out.end());
  return out;
}

using Texts = std::vector<std::string>;

TEST(DataProbeTests, NumberLineGetsEveryPointAndAValueInEveryStretch) {
  const auto probes = data_probe_literals(
      load_ofn("DataPropertyRange(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer)) "
               "DataPropertyAssertion(:d :a \"2\"^^xsd:integer) DataPropertyAssertion(:d :a \"4.5\"^^xsd:decimal)")
          .axioms);
  ASSERT_TRUE(probes.covers_every_value);
  // Points 1, 2, 4.5 (scale 1): integers below, between 2 and 4.5, above; a
  // non-integer next to every point.
  EXPECT_EQ(texts(probes, kXsd + "integer"), (Texts{"0", "1", "2", "3", "5"}));
  EXPECT_EQ(texts(probes, kXsd + "decimal"),
            (Texts{"0", "0.95", "1.0", "1.05", "2.0", "2.05", "3", "4.5", "4.55", "5"}));
}

TEST(DataProbeTests, NoNumbersGiveOneIntegerAndOneNonInteger) {
  const auto probes = data_probe_literals(load_ofn("").axioms);
  EXPECT_EQ(texts(probes, kXsd + "integer"), (Texts{"7"}));
  EXPECT_EQ(texts(probes, kXsd + "decimal"), (Texts{"7", "7.5"}));
  EXPECT_EQ(probes.values.size(), 8u);
}

TEST(DataProbeTests, FreshValuesDifferFromEveryLiteral) {
  auto probes = data_probe_literals(
      load_ofn("DataPropertyAssertion(:d :a \"7.25\"^^xsd:float) DataPropertyAssertion(:d :a \"1902-05-05\"^^xsd:date) "
               "DataPropertyAssertion(:d :a \"urn:kelmon-justify-probe-value\")")
          .axioms);
  EXPECT_EQ(texts(probes, kXsd + "float"), (Texts{"7.25", "8.25"}));
  EXPECT_EQ(texts(probes, kXsd + "double"), (Texts{"8.25"}));
  EXPECT_EQ(texts(probes, kXsd + "string"), (Texts{"urn:kelmon-justify-probe-value-0"}));
  EXPECT_EQ(texts(probes, kXsd + "date"), (Texts{"1902-05-05", "1904-01-01"}));
  EXPECT_EQ(texts(probes, kXsd + "dateTime"), (Texts{"1904-01-01T00:00:00"}));
}

// A kernel whose consistency test answers from a list, consistent once the list runs out.
TestKernel scripted(std::vector<bool> consistent, std::size_t& asked) {
  TestKernel kernel;
  kernel.consistency = [consistent, &asked](const InternalOntology&) -> Result<ConsistencyAnswer> {
    const bool answer = asked < consistent.size() ? consistent[asked] : true;
    ++asked;
    return ConsistencyAnswer{answer};
  };
  return kernel;
}

TEST(DataProbeTests, ToldSubPropertyBelowAnOrderBoundIsEntailed) {
  // Every probe inconsistent, and the probes cover every value.
  const auto candidate =
      load_ofn("DataPropertyRange(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer)) "
               "SubDataPropertyOf(:d :e)")
          .axioms;
  const std::size_t probes = data_probe_literals(candidate).values.size();
  std::size_t asked = 0;
  TestKernel kernel = scripted(std::vector<bool>(probes, false), asked);
  SubsetOracle oracle(kernel);
  EXPECT_EQ(oracle.entails(candidate, JustifyQuery{QueryKind::SubDataProperty, {iri("d"), iri("e")}}),
            Result<bool>(true));
  EXPECT_EQ(asked, probes);
}

TEST(DataProbeTests, OneConsistentProbeAnswersNoEvenWhereProbesCannotCoverEverything) {
  const auto candidate =
      load_ofn("SubClassOf(DataHasValue(:d \"0\"^^xsd:integer) DataHasValue(:e \"0\"^^xsd:integer))").axioms;
  ASSERT_FALSE(data_probe_literals(candidate).covers_every_value);
  std::size_t asked = 0;
  TestKernel kernel = scripted({false, false, true}, asked);
  SubsetOracle oracle(kernel);
  EXPECT_EQ(oracle.entails(candidate, JustifyQuery{QueryKind::SubDataProperty, {iri("d"), iri("e")}}),
            Result<bool>(false));
  EXPECT_EQ(asked, 3u);
}

TEST(DataProbeTests, AllInconsistentWithoutCoverIsAnErrorNotAnAnswer) {
  const auto candidate =
      load_ofn("DataPropertyRange(:d DatatypeRestriction(xsd:string xsd:length \"2\"^^xsd:integer)) "
               "SubDataPropertyOf(:d :e)")
          .axioms;
  for (QueryKind kind : {QueryKind::SubDataProperty, QueryKind::EquivDataProperty, QueryKind::DisjointDataProperty}) {
    std::size_t asked = 0;
    TestKernel kernel = scripted(std::vector<bool>(100, false), asked);
    SubsetOracle oracle(kernel);
    auto answer = oracle.entails(candidate, JustifyQuery{kind, {iri("d"), iri("e")}});
    ASSERT_FALSE(answer.has_value());
    EXPECT_EQ(answer.error(), ReasonerError(Unsupported(UnsupportedDataRange{})));
  }
}

TEST(DataProbeTests, DisjointnessProbesAssertBothProperties) {
  const auto candidate = load_ofn("DisjointDataProperties(:d :e)").axioms;
  std::size_t asked = 0;
  TestKernel kernel = scripted(std::vector<bool>(100, false), asked);
  SubsetOracle oracle(kernel);
  EXPECT_EQ(oracle.entails(candidate, JustifyQuery{QueryKind::DisjointDataProperty, {iri("d"), iri("e")}}),
            Result<bool>(true));
  const InternalOntology& last = kernel.calls.back().ir;
  EXPECT_TRUE(last.vocabulary.individuals.get(kProbeSubject).has_value());
}

}  // namespace
}  // namespace kelmon::explain
