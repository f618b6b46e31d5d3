// A one-byte summary of the expensive constructs an ontology, or the axioms
// that mention one class, use: 0 inverse roles, 1 nominals, 2 number
// restrictions, 5 none of them. Syntactic: definitions are not followed.
#pragma once

#include <cstdint>
#include <vector>

#include "core/axiom.h"
#include "core/ontology.h"

namespace kelmon::completion {

std::uint8_t logic_profile(const InternalOntology& ontology);
std::uint8_t logic_profile_of_class(ClassId cls, const InternalOntology& ontology);
// Number restriction in bit 16, nominal in bit 8, inverse role in bit 0.
std::uint32_t concept_profile_flags(ConceptId concept_id, const InternalOntology& ontology);
std::vector<ConceptId> axiom_concepts(const Axiom& axiom);

}  // namespace kelmon::completion
