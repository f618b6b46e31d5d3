// Throughput and peak memory of the RDF/XML reader on a generated document (default
// 60 MB; first argument: size in MB, or a path to an .rdf/.owl file), beside raptor2
// alone on the same text (triples counted, nothing kept) and the triple stage alone.
// Each run happens in its own child process, so that each peak is its own.
#include <raptor2.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "bench_util.h"
#include "owl/internal/rdf_graph.h"
#include "owl/rdf_xml_reader.h"

using kelmon::bench::peak_rss_kb;

namespace {

long current_rss_kb() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Classes with labels and reified definitions, told subclasses, existential
// restrictions, equivalences to intersections, and typed individuals with data.
std::string generate(size_t target_bytes) {
  std::string s;
  s.reserve(target_bytes + 4096);
  s += "<?xml version=\"1.0\"?>\n"
       "<rdf:RDF xmlns=\"http://example.org/big#\" xml:base=\"http://example.org/big\"\n"
       "  xmlns:obo=\"http://purl.obolibrary.org/obo/\"\n"
       "  xmlns:owl=\"http://www.w3.org/2002/07/owl#\"\n"
       "  xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n"
       "  xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\"\n"
       "  xmlns:xsd=\"http://www.w3.org/2001/XMLSchema#\">\n"
       "<owl:Ontology rdf:about=\"http://example.org/big\"/>\n"
       "<owl:ObjectProperty rdf:about=\"http://purl.obolibrary.org/obo/BFO_0000050\"/>\n"
       "<owl:DatatypeProperty rdf:about=\"#weight\"/>\n"
       "<owl:AnnotationProperty rdf:about=\"http://purl.obolibrary.org/obo/IAO_0000115\"/>\n";
  char buf[2048];
  const char* go = "http://purl.obolibrary.org/obo/GO_";
  for (size_t i = 1; s.size() < target_bytes; ++i) {
    size_t parent = i / 2, other = (i * 7919) % (i + 1);
    int n = std::snprintf(
        buf, sizeof buf,
        "<owl:Class rdf:about=\"%s%07zu\">\n"
        "  <rdfs:label rdf:datatype=\"http://www.w3.org/2001/XMLSchema#string\">term number %zu</rdfs:label>\n"
        "  <obo:IAO_0000115 xml:lang=\"en\">A process that does thing %zu in the cell.</obo:IAO_0000115>\n"
        "  <rdfs:subClassOf rdf:resource=\"%s%07zu\"/>\n"
        "  <rdfs:subClassOf><owl:Restriction>\n"
        "    <owl:onProperty rdf:resource=\"http://purl.obolibrary.org/obo/BFO_0000050\"/>\n"
        "    <owl:someValuesFrom rdf:resource=\"%s%07zu\"/>\n"
        "  </owl:Restriction></rdfs:subClassOf>\n"
        "</owl:Class>\n"
        "<owl:Axiom>\n"
        "  <owl:annotatedSource rdf:resource=\"%s%07zu\"/>\n"
        "  <owl:annotatedProperty rdf:resource=\"http://purl.obolibrary.org/obo/IAO_0000115\"/>\n"
        "  <owl:annotatedTarget xml:lang=\"en\">A process that does thing %zu in the cell.</owl:annotatedTarget>\n"
        "  <obo:source>GOC:curators</obo:source>\n"
        "</owl:Axiom>\n",
        go, i, i, i, go, parent, go, other, go, i, i);
    s.append(buf, static_cast<size_t>(n));
    if (i % 10 == 0) {
      n = std::snprintf(
          buf, sizeof buf,
          "<rdf:Description rdf:about=\"%s%07zu\"><owl:equivalentClass><owl:Class>\n"
          "  <owl:intersectionOf rdf:parseType=\"Collection\">\n"
          "    <rdf:Description rdf:about=\"%s%07zu\"/>\n"
          "    <owl:Restriction><owl:onProperty rdf:resource=\"http://purl.obolibrary.org/obo/BFO_0000050\"/>\n"
          "      <owl:someValuesFrom rdf:resource=\"%s%07zu\"/></owl:Restriction>\n"
          "  </owl:intersectionOf></owl:Class></owl:equivalentClass></rdf:Description>\n"
          "<owl:NamedIndividual rdf:about=\"#ind%zu\"><rdf:type rdf:resource=\"%s%07zu\"/>\n"
          "  <weight rdf:datatype=\"http://www.w3.org/2001/XMLSchema#integer\">%zu</weight>\n"
          "</owl:NamedIndividual>\n",
          go, i, go, parent, go, other, i, go, i, i);
      s.append(buf, static_cast<size_t>(n));
    }
  }
  s += "</rdf:RDF>\n";
  return s;
}

void count_statement(void* user, raptor_statement*) { ++*static_cast<size_t*>(user); }

// raptor2 alone, with the reader's options: the floor the reader builds on.
size_t raptor_only(const std::string& text) {
  raptor_world* world = raptor_new_world();
  raptor_world_open(world);
  raptor_parser* parser = raptor_new_parser(world, "rdfxml");
  raptor_parser_set_option(parser, RAPTOR_OPTION_NO_NET, nullptr, 1);
  raptor_parser_set_option(parser, RAPTOR_OPTION_NO_FILE, nullptr, 1);
  raptor_parser_set_option(parser, RAPTOR_OPTION_LOAD_EXTERNAL_ENTITIES, nullptr, 0);
  raptor_parser_set_option(parser, RAPTOR_OPTION_NORMALIZE_LANGUAGE, nullptr, 0);
  size_t count = 0;
  raptor_parser_set_statement_handler(parser, &count, count_statement);
  raptor_uri* base = raptor_new_uri(world, reinterpret_cast<const unsigned char*>("urn:kelmon-document"));
  raptor_parser_parse_start(parser, base);
  constexpr size_t kChunk = size_t{1} << 20;
  for (size_t at = 0; at < text.size(); at += kChunk) {
    size_t n = std::min(kChunk, text.size() - at);
    raptor_parser_parse_chunk(parser, reinterpret_cast<const unsigned char*>(text.data() + at), n, 0);
  }
  raptor_parser_parse_chunk(parser, nullptr, 0, 1);
  raptor_free_uri(base);
  raptor_free_parser(parser);
  raptor_free_world(world);
  return count;
}

// Runs one measurement in a child process and prints its line.
void measure(const char* what, const std::string& text, const std::function<std::string()>& run) {
  std::fflush(stdout);
  pid_t pid = fork();
  if (pid == 0) {
    long before_kb = current_rss_kb();
    auto t0 = std::chrono::steady_clock::now();
    std::string detail = run();
    auto t1 = std::chrono::steady_clock::now();
    double secs = std::chrono::duration<double>(t1 - t0).count();
    double mb = static_cast<double>(text.size()) / 1e6;
    std::printf("%-22s %7.3f s  %7.1f MB/s  peak memory above the text %8.1f MB (%.2f x file size)  %s\n",
                what, secs, mb / secs, static_cast<double>(peak_rss_kb() - before_kb) / 1024.0,
                static_cast<double>(peak_rss_kb() - before_kb) * 1024.0 / static_cast<double>(text.size()),
                detail.c_str());
    std::fflush(stdout);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::string text;
  std::string label;
  std::string arg = argc > 1 ? argv[1] : "";
  if (arg.find(".rdf") != std::string::npos || arg.find(".owl") != std::string::npos) {
    text = kelmon::bench::read_or_exit(arg);
    label = arg;
  } else {
    size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 60;
    text = generate(mb * 1000 * 1000);
    label = "generated";
  }
  std::printf("%s: %.1f MB of RDF/XML\n", label.c_str(), static_cast<double>(text.size()) / 1e6);
  measure("raptor2 alone", text, [&] { return std::to_string(raptor_only(text)) + " triples"; });
  measure("triples (graph stage)", text, [&] {
    auto g = kelmon::owl::rdf::parse_rdf_xml_graph(text);
    return g ? std::to_string(g->triples().size()) + " triples, " + std::to_string(g->term_count()) + " terms"
             : "failed: " + g.error().to_string();
  });
  measure("read_rdf_xml", text, [&] {
    auto r = kelmon::owl::read_rdf_xml(text);
    return r ? std::to_string(r->axioms.size()) + " axioms" : "failed: " + r.error().to_string();
  });
  return 0;
}
