// For programs that link the RDF/XML syntax parser in (the C++ tests, benchmarks
// and fuzz targets): the parser is simply there.
#include "owl/rdf_xml_syntax.h"

extern "C" int kelmon_rdf_xml_parse(const char* text, size_t size, const char* base, const KelmonRdfSink* sink);

namespace kelmon::owl {

std::expected<KelmonRdfXmlParse, std::string> rdf_xml_syntax_parser() { return &kelmon_rdf_xml_parse; }

}  // namespace kelmon::owl
