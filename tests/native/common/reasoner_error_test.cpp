#include "common/reasoner_error.h"

#include <gtest/gtest.h>

#include "common/invariant.h"

namespace kelmon {
namespace {

struct ErrorCase {
  ReasonerError error;
  std::string message;
  ErrorClass cls;
};

class ErrorMapping : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorMapping, MessageAndClassFollowTheTable) {
  EXPECT_EQ(reasoner_error_message(GetParam().error), GetParam().message);
  EXPECT_EQ(reasoner_error_class(GetParam().error), GetParam().cls);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrorMapping,
    ::testing::Values(
        ErrorCase{Unsupported(UnsupportedConcept{"X"}), "unsupported concept: X", ErrorClass::UnsupportedAxiomError},
        ErrorCase{Unsupported(UnsupportedAxiom{"HasKey"}), "unsupported axiom: HasKey", ErrorClass::UnsupportedAxiomError},
        ErrorCase{Unsupported(AnonymousIndividual{}), "anonymous individuals are not supported",
                  ErrorClass::UnsupportedAxiomError},
        ErrorCase{Unsupported(UnsupportedDataRange{}), "data ranges and data properties are not supported",
                  ErrorClass::UnsupportedAxiomError},
        ErrorCase{UnknownClass{"http://x#A"}, "http://x#A", ErrorClass::UnknownClassError},
        ErrorCase{UnknownIndividual{"http://x#a"}, "individual IRI not in ontology: http://x#a",
                  ErrorClass::UnknownClassError},
        ErrorCase{NoVerdict{}, "internal: tableau returned NoVerdict (please file a bug)", ErrorClass::KelmonError},
        ErrorCase{RoleChainTooLong{}, "role chain longer than length 2 (unsupported)",
                  ErrorClass::UnsupportedAxiomError},
        ErrorCase{Inconsistent{}, "ontology is inconsistent; every assertion is trivially entailed",
                  ErrorClass::KelmonError}));

TEST(Invariant, FailureCarriesItsFixedMessage) {
  try {
    invariant(false, "class count fits in u32");
    FAIL() << "no throw";
  } catch (const InvariantFailure& e) {
    EXPECT_STREQ(e.what(), "class count fits in u32");
  }
  EXPECT_NO_THROW(invariant(true, "never"));
}

}  // namespace
}  // namespace kelmon
