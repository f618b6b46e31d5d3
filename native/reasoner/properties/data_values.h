// Data property values of named individuals, read off the told data property
// assertions and spread over same-individual axioms and sub- and equivalent
// data properties.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <tsl/robin_map.h>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "owl/model.h"

namespace kelmon::reasoner {

// (subject, property, lexical form, datatype IRI, language tag).
using DataValueRecord = std::array<std::string, 5>;

// Refuses an ontology whose asserted facts saturate to a clash (Inconsistent).
// Sorted by the five fields, without duplicates, no anonymous subject.
Result<std::vector<DataValueRecord>> inferred_data_property_assertions(const owl::LoadedOntology& loaded);

// (lexical, datatype, lang) of a literal as written: plain literals are
// xsd:string, tagged ones rdf:langString; nothing is normalised.
std::array<std::string, 3> render_literal(const owl::Literal& literal);

// Individual → the next individual towards its same-individual root.
using SameIndividualParents = tsl::robin_map<std::string, std::string>;

// The root of `name`, pointing every name on the way directly at it.
std::string canonical_name(SameIndividualParents& parents, std::string_view name);

}  // namespace kelmon::reasoner
