#pragma once
// From an RDF graph to the OWL 2 structural model: the reverse of the OWL 2 mapping
// to RDF graphs. Triples that no pattern reads are left out.
#include <expected>

#include "owl/internal/rdf_graph.h"
#include "owl/loaded_ontology.h"
#include "owl/parse_error.h"

namespace kelmon::owl::rdf {

// The ontology the graph encodes; its prefix mapping is empty. Fails only when class
// expressions, data ranges or annotations nest deeper than `kMaxNestingDepth`.
std::expected<LoadedOntology, ParseError> map_graph(const Graph& graph);

}  // namespace kelmon::owl::rdf
