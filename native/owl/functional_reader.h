#pragma once
// Reader of OWL 2 functional-style syntax documents ("ofn").
#include <expected>
#include <string_view>

#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl {

// Reads a whole document: prefix declarations, the ontology header, imports (recorded,
// never fetched), ontology annotations and every axiom, rules included. The prefix
// mapping holds the declared prefixes and the four standard ones (owl, rdf, rdfs, xsd)
// unless the document declares them otherwise. On failure nothing is returned but the
// error.
std::expected<LoadedOntology, ParseError> read_functional(std::string_view text);

}  // namespace kelmon::owl
