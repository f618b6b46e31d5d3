#pragma once
// Reader of RDF/XML ontology documents ("rdf-xml", also "rdf").
#include <expected>
#include <string_view>

#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl {

// Parses the document into RDF triples, then reads the ontology the triples encode:
// declarations, every axiom, class expression and data range, annotations (reified
// ones included), anonymous individuals (node ids without "_:") and the OWL 1 forms
// the mapping still accepts. Triples that no pattern reads are left out. The prefix
// mapping is always empty. Malformed XML or RDF/XML, and nesting deeper than
// `kMaxNestingDepth`, fail the whole read; nothing partial is returned. External
// entities, DTDs and network or file access are never loaded.
std::expected<LoadedOntology, ParseError> read_rdf_xml(std::string_view text);

}  // namespace kelmon::owl
