#include "core/data/datatype_family.h"

#include <gtest/gtest.h>

#include <string>

namespace kelmon {
namespace {

const std::string xsd = "http://www.w3.org/2001/XMLSchema#";

struct FamilyCase {
  std::string iri;
  DatatypeFamily family;
};

class DatatypeFamilyTable : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(DatatypeFamilyTable, sorts_iris_exactly) {
  EXPECT_EQ(datatype_family(GetParam().iri), GetParam().family) << GetParam().iri;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DatatypeFamilyTable,
    ::testing::Values(FamilyCase{xsd + "string", DatatypeFamily::StringLike},
                      FamilyCase{xsd + "NMTOKEN", DatatypeFamily::StringLike},
                      FamilyCase{xsd + "language", DatatypeFamily::StringLike},
                      FamilyCase{"http://www.w3.org/1999/02/22-rdf-syntax-ns#langString", DatatypeFamily::LangString},
                      FamilyCase{xsd + "unsignedLong", DatatypeFamily::Numeric},
                      FamilyCase{xsd + "double", DatatypeFamily::Numeric},
                      FamilyCase{xsd + "negativeInteger", DatatypeFamily::Numeric},
                      FamilyCase{xsd + "boolean", DatatypeFamily::Boolean},
                      FamilyCase{xsd + "gMonthDay", DatatypeFamily::Temporal},
                      FamilyCase{xsd + "dateTimeStamp", DatatypeFamily::Temporal},
                      FamilyCase{xsd + "base64Binary", DatatypeFamily::Binary},
                      FamilyCase{xsd + "anyURI", DatatypeFamily::Other},
                      FamilyCase{xsd + "NMTOKENS", DatatypeFamily::Other},
                      FamilyCase{xsd + "dayTimeDuration", DatatypeFamily::Other},
                      FamilyCase{"http://www.w3.org/2000/01/rdf-schema#Literal", DatatypeFamily::Other},
                      FamilyCase{"http://www.w3.org/2002/07/owl#real", DatatypeFamily::Other},
                      FamilyCase{xsd + "String", DatatypeFamily::Other}, FamilyCase{xsd, DatatypeFamily::Other},
                      FamilyCase{"xsd:string", DatatypeFamily::Other},
                      FamilyCase{"http://www.w3.org/2001/XMLSchema#string ", DatatypeFamily::Other},
                      FamilyCase{"", DatatypeFamily::Other}));

}  // namespace
}  // namespace kelmon
