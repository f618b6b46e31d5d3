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

struct GateCase {
  const char* name;
  const char* ontology;
  int probes;  // -1: refused
};

class DataProbeGateTests : public ::testing::TestWithParam<GateCase> {};

TEST_P(DataProbeGateTests, ProbeSetOrRefusal) {
  auto probes = data_probe_literals(load_ofn(GetParam().ontology).axioms);
  if (GetParam().probes < 0) {
    EXPECT_FALSE(probes.has_value());
    return;
  }
  ASSERT_TRUE(probes.has_value());
  EXPECT_EQ(static_cast<int>(probes->size()), GetParam().probes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DataProbeGateTests,
    ::testing::Values(
        GateCase{"empty", "", 7},
        GateCase{"range_family", "DataPropertyRange(:d xsd:integer)", 7},
        GateCase{"range_constant", "DataPropertyRange(:d DataOneOf(\"5\"^^xsd:integer))", 8},
        GateCase{"same_constant_twice", "DataPropertyAssertion(:d :a \"5\"^^xsd:integer) "
                                        "DataPropertyAssertion(:e :b \"5\"^^xsd:integer)", 8},
        GateCase{"positive_existential", "SubClassOf(:A DataSomeValuesFrom(:d xsd:integer))", 7},
        GateCase{"positive_universal", "SubClassOf(:A DataAllValuesFrom(:d xsd:string))", 7},
        GateCase{"any_literal_bound", "SubClassOf(:A DataMaxCardinality(1 :d))", 7},
        GateCase{"facet", "DataPropertyRange(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer))",
                 -1},
        GateCase{"complement", "DataPropertyRange(:d DataComplementOf(xsd:integer))", -1},
        GateCase{"other_datatype", "DataPropertyRange(:d xsd:boolean)", -1},
        GateCase{"other_literal", "DataPropertyAssertion(:d :a \"true\"^^xsd:boolean)", -1},
        GateCase{"language_tag", "DataPropertyAssertion(:d :a \"x\"@en)", -1},
        GateCase{"negative_existential", "SubClassOf(DataSomeValuesFrom(:d xsd:integer) owl:Nothing)", -1},
        GateCase{"defined_by_existential", "EquivalentClasses(:A DataSomeValuesFrom(:d xsd:integer))", -1},
        GateCase{"complement_of_has_value", "SubClassOf(:A ObjectComplementOf(DataHasValue(:d \"5\"^^xsd:integer)))",
                 -1},
        GateCase{"qualified_upper_bound", "SubClassOf(:A DataMaxCardinality(1 :d xsd:integer))", -1},
        GateCase{"bound_under_object_max", "SubClassOf(:A ObjectMaxCardinality(1 :r DataSomeValuesFrom(:d xsd:integer)))",
                 -1},
        GateCase{"datatype_definition", "DatatypeDefinition(:t xsd:integer)", -1}),
    [](const auto& info) { return std::string(info.param.name); });

bool has_literal(const std::vector<owl::Literal>& probes, const std::string& lexical, const std::string& datatype) {
  for (const auto& l : probes)
    if (l.lexical == lexical && l.datatype.iri.str() == datatype) return true;
  return false;
}

TEST(DataProbeTests, FreshValuesDifferFromEveryLiteral) {
  auto probes = data_probe_literals(
      load_ofn("DataPropertyAssertion(:d :a \"7\"^^xsd:integer) DataPropertyAssertion(:d :a \"7.50\"^^xsd:decimal) "
               "DataPropertyAssertion(:d :a \"7.25\"^^xsd:float) DataPropertyAssertion(:d :a \"1902-05-05\"^^xsd:date) "
               "DataPropertyAssertion(:d :a \"urn:kelmon-justify-probe-value\")")
          .axioms);
  ASSERT_TRUE(probes.has_value());
  EXPECT_TRUE(has_literal(*probes, "8", kXsd + "integer"));
  EXPECT_TRUE(has_literal(*probes, "8.5", kXsd + "decimal"));
  EXPECT_TRUE(has_literal(*probes, "8.25", kXsd + "float"));
  EXPECT_TRUE(has_literal(*probes, "8.25", kXsd + "double"));
  EXPECT_TRUE(has_literal(*probes, "urn:kelmon-justify-probe-value-0", kXsd + "string"));
  EXPECT_TRUE(has_literal(*probes, "1904-01-01", kXsd + "date"));
  EXPECT_TRUE(has_literal(*probes, "1904-01-01T00:00:00", kXsd + "dateTime"));
  EXPECT_TRUE(has_literal(*probes, "7", kXsd + "integer"));  // each literal is a probe too
  EXPECT_EQ(probes->size(), 7u + 5u);
}

TEST(DataProbeTests, SubDataPropertyHoldsOnlyWhenEveryProbeIsInconsistent) {
  const auto candidate = load_ofn("SubDataPropertyOf(:d :e) DataPropertyRange(:d DataOneOf(\"5\"^^xsd:integer))").axioms;
  const JustifyQuery sub{QueryKind::SubDataProperty, {iri("d"), iri("e")}};
  TestKernel kernel;
  kernel.consistency = [](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{false}; };
  SubsetOracle oracle(kernel);
  EXPECT_EQ(oracle.entails(candidate, sub), Result<bool>(true));
  EXPECT_EQ(kernel.count("check_consistency"), 8u);

  // One consistent probe (the range's own value) is enough to answer no.
  TestKernel second;
  std::size_t n = 0;
  second.consistency = [&](const InternalOntology&) -> Result<ConsistencyAnswer> { return ConsistencyAnswer{++n == 8}; };
  SubsetOracle oracle2(second);
  EXPECT_EQ(oracle2.entails(candidate, sub), Result<bool>(false));

  const JustifyQuery disjoint{QueryKind::DisjointDataProperty, {iri("d"), iri("e")}};
  EXPECT_EQ(oracle.entails(candidate, disjoint), Result<bool>(true));
}

TEST(DataProbeTests, RefusedProbeSetIsAnErrorNotAnAnswer) {
  const auto candidate =
      load_ofn("DataPropertyRange(:d DatatypeRestriction(xsd:integer xsd:minInclusive \"1\"^^xsd:integer)) "
               "SubDataPropertyOf(:d :e)")
          .axioms;
  TestKernel kernel;
  SubsetOracle oracle(kernel);
  for (QueryKind kind : {QueryKind::SubDataProperty, QueryKind::EquivDataProperty, QueryKind::DisjointDataProperty}) {
    auto answer = oracle.entails(candidate, JustifyQuery{kind, {iri("d"), iri("e")}});
    ASSERT_FALSE(answer.has_value());
    EXPECT_EQ(answer.error(), ReasonerError(Unsupported(UnsupportedDataRange{})));
  }
  EXPECT_EQ(kernel.count("check_consistency"), 0u);
}

}  // namespace
}  // namespace kelmon::explain
