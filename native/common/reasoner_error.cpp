#include "common/reasoner_error.h"

#include "common/overload.h"

namespace kelmon {

std::string unsupported_message(const Unsupported& error) {
  return std::visit(Overload{
                        [](const UnsupportedConcept& e) { return "unsupported concept: " + e.detail; },
                        [](const UnsupportedAxiom& e) { return "unsupported axiom: " + e.detail; },
                        [](const AnonymousIndividual&) { return std::string("anonymous individuals are not supported"); },
                        [](const UnsupportedDataRange&) {
                          return std::string("data ranges and data properties are not supported");
                        },
                    },
                    error);
}

std::string reasoner_error_message(const ReasonerError& error) {
  return std::visit(Overload{
                        [](const Unsupported& e) { return unsupported_message(e); },
                        [](const UnknownClass& e) { return e.iri; },
                        [](const UnknownIndividual& e) { return "individual IRI not in ontology: " + e.iri; },
                        [](const NoVerdict&) {
                          return std::string("internal: tableau returned NoVerdict (please file a bug)");
                        },
                        [](const RoleChainTooLong&) {
                          return std::string("role chain longer than length 2 (unsupported)");
                        },
                        [](const Inconsistent&) {
                          return std::string("ontology is inconsistent; every assertion is trivially entailed");
                        },
                    },
                    error);
}

ErrorClass reasoner_error_class(const ReasonerError& error) {
  return std::visit(Overload{
                        [](const Unsupported&) { return ErrorClass::UnsupportedAxiomError; },
                        [](const UnknownClass&) { return ErrorClass::UnknownClassError; },
                        [](const UnknownIndividual&) { return ErrorClass::UnknownClassError; },
                        [](const NoVerdict&) { return ErrorClass::KelmonError; },
                        [](const RoleChainTooLong&) { return ErrorClass::UnsupportedAxiomError; },
                        [](const Inconsistent&) { return ErrorClass::KelmonError; },
                    },
                    error);
}

}  // namespace kelmon
