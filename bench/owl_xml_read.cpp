// Throughput and peak memory of the OWL/XML reader: on galen.owx of the corpus and on a
// generated document (default 100 MB; first argument: size in MB, or a path to an .owx
// file). Also times expat alone on the same text, the floor under the reader.
#include <expat.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench_util.h"
#include "owl/owl_xml_reader.h"

using kelmon::bench::peak_rss_kb;
using kelmon::bench::read_or_exit;

namespace {

// Shaped like the large biomedical ontologies: declarations, labelled classes with an
// annotated definition, told subclasses, existential restrictions, some equivalences
// and individuals with data values.
std::string generate(size_t target_bytes) {
  std::string s;
  s.reserve(target_bytes + 4096);
  s += "<?xml version=\"1.0\"?>\n"
       "<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" xml:base=\"http://example.org/big\"\n"
       "     ontologyIRI=\"http://example.org/big\">\n"
       "  <Prefix name=\"obo\" IRI=\"http://purl.obolibrary.org/obo/\"/>\n"
       "  <Prefix name=\"rdfs\" IRI=\"http://www.w3.org/2000/01/rdf-schema#\"/>\n"
       "  <Declaration><ObjectProperty abbreviatedIRI=\"obo:BFO_0000050\"/></Declaration>\n"
       "  <Declaration><DataProperty IRI=\"#weight\"/></Declaration>\n";
  char buf[2048];
  for (size_t i = 1; s.size() < target_bytes; ++i) {
    size_t parent = i / 2, other = (i * 7919) % (i + 1);
    int n = std::snprintf(
        buf, sizeof buf,
        "  <Declaration><Class abbreviatedIRI=\"obo:GO_%07zu\"/></Declaration>\n"
        "  <AnnotationAssertion><AnnotationProperty abbreviatedIRI=\"rdfs:label\"/>"
        "<AbbreviatedIRI>obo:GO_%07zu</AbbreviatedIRI>"
        "<Literal datatypeIRI=\"http://www.w3.org/2001/XMLSchema#string\">term number %zu</Literal>"
        "</AnnotationAssertion>\n"
        "  <AnnotationAssertion><Annotation><AnnotationProperty abbreviatedIRI=\"obo:source\"/>"
        "<Literal>GOC:curators</Literal></Annotation>"
        "<AnnotationProperty abbreviatedIRI=\"obo:IAO_0000115\"/><AbbreviatedIRI>obo:GO_%07zu</AbbreviatedIRI>"
        "<Literal xml:lang=\"en\">A process that &quot;does&quot; thing %zu in the cell.</Literal>"
        "</AnnotationAssertion>\n"
        "  <SubClassOf><Class abbreviatedIRI=\"obo:GO_%07zu\"/><Class abbreviatedIRI=\"obo:GO_%07zu\"/></SubClassOf>\n"
        "  <SubClassOf><Class abbreviatedIRI=\"obo:GO_%07zu\"/><ObjectSomeValuesFrom>"
        "<ObjectProperty abbreviatedIRI=\"obo:BFO_0000050\"/><Class abbreviatedIRI=\"obo:GO_%07zu\"/>"
        "</ObjectSomeValuesFrom></SubClassOf>\n",
        i, i, i, i, i, i, parent, i, other);
    s.append(buf, static_cast<size_t>(n));
    if (i % 10 == 0) {
      n = std::snprintf(
          buf, sizeof buf,
          "  <EquivalentClasses><Class abbreviatedIRI=\"obo:GO_%07zu\"/><ObjectIntersectionOf>"
          "<Class abbreviatedIRI=\"obo:GO_%07zu\"/><ObjectSomeValuesFrom>"
          "<ObjectProperty abbreviatedIRI=\"obo:BFO_0000050\"/><Class abbreviatedIRI=\"obo:GO_%07zu\"/>"
          "</ObjectSomeValuesFrom></ObjectIntersectionOf></EquivalentClasses>\n"
          "  <ClassAssertion><Class abbreviatedIRI=\"obo:GO_%07zu\"/><NamedIndividual IRI=\"#ind%zu\"/></ClassAssertion>\n"
          "  <DataPropertyAssertion><DataProperty IRI=\"#weight\"/><NamedIndividual IRI=\"#ind%zu\"/>"
          "<Literal datatypeIRI=\"http://www.w3.org/2001/XMLSchema#integer\">%zu</Literal></DataPropertyAssertion>\n",
          i, parent, other, i, i, i, i);
      s.append(buf, static_cast<size_t>(n));
    }
  }
  s += "</Ontology>\n";
  return s;
}

double expat_alone_seconds(const std::string& text) {
  XML_Parser p = XML_ParserCreateNS("UTF-8", ' ');
  XML_SetElementHandler(p, [](void*, const XML_Char*, const XML_Char**) {},
                        [](void*, const XML_Char*) {});
  XML_SetCharacterDataHandler(p, [](void*, const XML_Char*, int) {});
  auto t0 = std::chrono::steady_clock::now();
  const size_t chunk = size_t{1} << 26;
  for (size_t pos = 0; pos < text.size(); pos += chunk) {
    size_t n = std::min(chunk, text.size() - pos);
    if (XML_Parse(p, text.data() + pos, static_cast<int>(n), pos + n == text.size()) != XML_STATUS_OK)
      break;
  }
  auto t1 = std::chrono::steady_clock::now();
  XML_ParserFree(p);
  return std::chrono::duration<double>(t1 - t0).count();
}

int run(const std::string& label, const std::string& text) {
  long before_kb = peak_rss_kb();
  auto t0 = std::chrono::steady_clock::now();
  auto result = kelmon::owl::read_owl_xml(text);
  auto t1 = std::chrono::steady_clock::now();
  if (!result) {
    std::fprintf(stderr, "%s: parse failed: %s\n", label.c_str(), result.error().to_string().c_str());
    return 1;
  }
  long after_kb = peak_rss_kb();
  double secs = std::chrono::duration<double>(t1 - t0).count();
  double mb = static_cast<double>(text.size()) / 1e6;
  double expat = expat_alone_seconds(text);
  std::printf(
      "%s: %.1f MB, %zu axioms, %.3f s, %.1f MB/s (expat alone %.1f MB/s); peak RSS %.1f MB "
      "(text %.1f MB; growth while reading %.2f x the text)\n",
      label.c_str(), mb, result->axioms.size(), secs, mb / secs, mb / expat,
      static_cast<double>(after_kb) / 1024.0, mb,
      static_cast<double>(after_kb - before_kb) * 1024.0 / static_cast<double>(text.size()));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string arg = argc > 1 ? argv[1] : "";
  if (arg.find(".owx") != std::string::npos) return run(arg, read_or_exit(arg));
  std::string galen = std::string(KELMON_CORPUS_DIR) + "/ontologies/galen.owx";
  if (arg.empty() && std::filesystem::exists(galen) && run("galen.owx", read_or_exit(galen)) != 0) return 1;
  size_t mb = arg.empty() ? 100 : std::strtoul(arg.c_str(), nullptr, 10);
  return run("generated", generate(mb * 1000 * 1000));
}
