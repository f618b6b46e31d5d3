#include "owl/rdf_xml_reader.h"

#include "owl/internal/rdf_graph.h"
#include "owl/internal/rdf_mapping.h"

namespace kelmon::owl {

std::expected<LoadedOntology, ParseError> read_rdf_xml(std::string_view text) {
  auto graph = rdf::parse_rdf_xml_graph(text);
  if (!graph) return std::unexpected(std::move(graph.error()));
  return rdf::map_graph(*graph);
}

}  // namespace kelmon::owl
