// A diagnostic report of whether the converted ontology lies inside ELI,
// which axiom first leaves it and which constructors take it out.
#pragma once

#include <optional>
#include <set>
#include <string>

#include "core/ir.h"

namespace kelmon::reasoner {

bool concept_is_eli(const InternalOntology& ir, ConceptId c);
bool axiom_is_eli(const InternalOntology& ir, const Axiom& axiom);
// The first non-ELI axiom, as "SubClassOf[Or]" or "FunctionalRole".
std::optional<std::string> first_non_eli_axiom(const InternalOntology& ir);
std::set<std::string> eli_feature_set(const InternalOntology& ir);
// The whole report line, newline included.
std::string eli_report_line(const InternalOntology& ir);

}  // namespace kelmon::reasoner
