#include "owl/load.h"

#include "owl/document_source.h"
#include "owl/format_guess.h"
#include "owl/functional_reader.h"
#include "owl/manchester_reader.h"
#include "owl/owl_xml_reader.h"
#include "owl/rdf_xml_reader.h"

namespace kelmon::owl {

namespace {

std::expected<LoadedOntology, ParseError> run_reader(DocumentFormat format, std::string_view text) {
  switch (format) {
    case DocumentFormat::Functional:
      return read_functional(text);
    case DocumentFormat::OwlXml:
      return read_owl_xml(text);
    case DocumentFormat::RdfXml:
      return read_rdf_xml(text);
    case DocumentFormat::Manchester:
      return read_manchester(text);
  }
  return std::unexpected(ParseError{1, 1, "no reader for this format is available yet"});
}

LoadResult without_prefixes(LoadResult loaded) {
  if (loaded) loaded->prefixes.clear();
  return loaded;
}

}  // namespace

LoadResult parse_ontology_text(std::string_view text, std::string_view format) {
  auto chosen = format_by_name(format);
  if (!chosen) return std::unexpected(unknown_format_message(format));
  auto parsed = run_reader(*chosen, text);
  if (!parsed)
    return std::unexpected("parse " + std::string(format) + ": " + parsed.error().to_string() +
                           other_format_note(text, *chosen));
  return std::move(*parsed);
}

LoadResult load_ontology_with_prefixes(const std::string& path) {
  auto text = read_document_file(path);
  if (!text) return std::unexpected(text.error());
  auto format = format_from_extension(path);
  if (!format) return std::unexpected(format.error());
  std::string document = std::move(*text);
  return parse_ontology_text(document, *format);
}

LoadResult load_ontology(const std::string& path) { return without_prefixes(load_ontology_with_prefixes(path)); }

LoadResult parse_ontology_bytes(std::string_view data, std::string_view format) {
  if (auto error = utf8_error(data)) return std::unexpected("ontology bytes are not valid UTF-8: " + *error);
  return without_prefixes(parse_ontology_text(data, format));
}

}  // namespace kelmon::owl
