// Loading an ontology document: from a path (format from the extension) or
// from text/bytes and a format name. Failures are ParseError message texts.
#pragma once

#include <expected>
#include <string>
#include <string_view>

#include "owl/loaded_ontology.h"

namespace kelmon::owl {

using LoadResult = std::expected<LoadedOntology, std::string>;

// Read, pick the format from the extension, parse. The prefix mapping is dropped.
LoadResult load_ontology(const std::string& path);
// The same, keeping the document's prefix mapping (empty for RDF/XML).
LoadResult load_ontology_with_prefixes(const std::string& path);
// UTF-8 is checked before the format name. The prefix mapping is dropped.
LoadResult parse_ontology_bytes(std::string_view data, std::string_view format);
// Choose the reader by the exact format name and run it; keeps the prefix mapping.
LoadResult parse_ontology_text(std::string_view text, std::string_view format);

}  // namespace kelmon::owl
