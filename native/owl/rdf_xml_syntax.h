#pragma once
// The seam between the RDF/XML reader and the parser of RDF/XML syntax into triples.
// The parser (native/raptor/, over raptor2) is kept out of the owl library: a
// program either links it in or opens it as a library of its own on the first
// RDF/XML read, so that a process that never reads RDF/XML never loads raptor and
// the many libraries it links. The types are plain C so that the library can be
// opened with dlopen.
#include <cstddef>
#include <expected>
#include <string>

extern "C" {

enum KelmonRdfTermKind { KELMON_RDF_IRI = 0, KELMON_RDF_BLANK = 1, KELMON_RDF_LITERAL = 2 };

// Texts are not NUL-terminated and live only for the call that receives them.
struct KelmonRdfTerm {
  int kind;                // a KelmonRdfTermKind
  const char* text;        // the IRI, the blank node id (without "_:") or the lexical form
  size_t text_size;
  const char* language;    // literals with a language tag only
  size_t language_size;
  const char* datatype;    // typed literals only: the datatype IRI
  size_t datatype_size;
};

// The receiver of a parse. `triple` returns nonzero to go on and 0 to stop the parse;
// `error` receives the first error (line and column 0 when the place is unknown),
// after which the parse stops. Neither may throw.
struct KelmonRdfSink {
  void* user;
  int (*triple)(void* user, const KelmonRdfTerm* subject, const KelmonRdfTerm* predicate,
                const KelmonRdfTerm* object);
  void (*error)(void* user, long line, long column, const char* message);
};

// Parses a whole RDF/XML document, relative references resolved against `base`
// (NUL-terminated). External entities, DTDs and network or file access are never
// loaded. Returns 0 when the document was read to its end, nonzero when it stopped
// on an error or on the sink's request.
typedef int (*KelmonRdfXmlParse)(const char* text, size_t size, const char* base, const KelmonRdfSink* sink);

}  // extern "C"

// The name under which the parser library exports its KelmonRdfXmlParse.
#define KELMON_RDF_XML_PARSE_SYMBOL "kelmon_rdf_xml_parse"

namespace kelmon::owl {

// The RDF/XML syntax parser of this program, or why there is none. Not defined in
// the owl library: each program links one definition, either the parser itself
// (native/raptor/linked_parser.cpp) or a loader of the parser library.
std::expected<KelmonRdfXmlParse, std::string> rdf_xml_syntax_parser();

}  // namespace kelmon::owl
