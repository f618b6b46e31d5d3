#pragma once
// Reader of OWL 2 XML serialization documents ("owx").
#include <expected>
#include <string_view>

#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl {

// Reads a whole document: owl:Prefix elements, the ontology header, imports (recorded,
// never fetched), ontology annotations and every axiom, rules included. Relative IRIs
// resolve against xml:base, abbreviated IRIs through the document's prefixes. The
// prefix mapping holds the declared prefixes and the standard ones (owl, rdf, rdfs,
// xsd, xml) unless the document declares them otherwise. External entities and DTDs
// are never loaded. On failure nothing is returned but the error.
std::expected<LoadedOntology, ParseError> read_owl_xml(std::string_view text);

}  // namespace kelmon::owl
