// Throughput and peak memory of the Manchester-syntax document reader: on pizza.omn of
// the corpus and on a generated document (default 60 MB; first argument: size in MB, or
// a path to an .omn file). Also times the functional reader on the same ontology
// written in functional syntax, for comparison.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bench_util.h"
#include "owl/functional_reader.h"
#include "owl/manchester_reader.h"

using kelmon::bench::peak_rss_kb;
using kelmon::bench::read_or_exit;

namespace {

// Shaped like the large biomedical ontologies: labelled classes with an annotated
// definition, told subclasses, existential restrictions, some equivalences and
// individuals with types and data values. The same ontology in both syntaxes.
struct Generated {
  std::string manchester, functional;
};

Generated generate(size_t target_bytes) {
  Generated g;
  std::string& m = g.manchester;
  std::string& f = g.functional;
  m.reserve(target_bytes + 4096);
  f.reserve(target_bytes * 2);
  m += "Prefix: obo: <http://purl.obolibrary.org/obo/>\n"
       "Prefix: : <http://example.org/big#>\n"
       "Ontology: <http://example.org/big>\n\n"
       "ObjectProperty: obo:BFO_0000050\n\n"
       "DataProperty: :weight\n\n"
       "AnnotationProperty: obo:IAO_0000115\n\n";
  f += "Prefix(obo:=<http://purl.obolibrary.org/obo/>)\nPrefix(:=<http://example.org/big#>)\n"
       "Ontology(<http://example.org/big>\n"
       "Declaration(ObjectProperty(obo:BFO_0000050))\nDeclaration(DataProperty(:weight))\n"
       "Declaration(AnnotationProperty(obo:IAO_0000115))\n";
  char buf[2048];
  for (size_t i = 1; m.size() < target_bytes; ++i) {
    size_t parent = i / 2, other = (i * 7919) % (i + 1);
    int n = std::snprintf(buf, sizeof buf,
                          "Class: obo:GO_%07zu\n"
                          "    Annotations: rdfs:label \"term number %zu\",\n"
                          "        Annotations: rdfs:comment \"GOC:curators\"\n"
                          "        obo:IAO_0000115 \"A process that \\\"does\\\" thing %zu in the cell.\"@en\n"
                          "    SubClassOf: obo:GO_%07zu, obo:BFO_0000050 some obo:GO_%07zu\n",
                          i, i, i, parent, other);
    m.append(buf, static_cast<size_t>(n));
    n = std::snprintf(buf, sizeof buf,
                      "Declaration(Class(obo:GO_%07zu))\n"
                      "AnnotationAssertion(rdfs:label obo:GO_%07zu \"term number %zu\")\n"
                      "AnnotationAssertion(Annotation(rdfs:comment \"GOC:curators\") obo:IAO_0000115 obo:GO_%07zu "
                      "\"A process that \\\"does\\\" thing %zu in the cell.\"@en)\n"
                      "SubClassOf(obo:GO_%07zu obo:GO_%07zu)\n"
                      "SubClassOf(obo:GO_%07zu ObjectSomeValuesFrom(obo:BFO_0000050 obo:GO_%07zu))\n",
                      i, i, i, i, i, i, parent, i, other);
    f.append(buf, static_cast<size_t>(n));
    if (i % 10 == 0) {
      n = std::snprintf(buf, sizeof buf,
                        "    EquivalentTo: obo:GO_%07zu and (obo:BFO_0000050 some obo:GO_%07zu)\n\n"
                        "Individual: :ind%zu\n"
                        "    Types: obo:GO_%07zu\n"
                        "    Facts: :weight %zu\n",
                        parent, other, i, i, i);
      m.append(buf, static_cast<size_t>(n));
      n = std::snprintf(buf, sizeof buf,
                        "EquivalentClasses(obo:GO_%07zu ObjectIntersectionOf(obo:GO_%07zu "
                        "ObjectSomeValuesFrom(obo:BFO_0000050 obo:GO_%07zu)))\n"
                        "Declaration(NamedIndividual(:ind%zu))\nClassAssertion(obo:GO_%07zu :ind%zu)\n"
                        "DataPropertyAssertion(:weight :ind%zu \"%zu\"^^xsd:integer)\n",
                        i, parent, other, i, i, i, i, i);
      f.append(buf, static_cast<size_t>(n));
    }
    m += "\n";
  }
  f += ")\n";
  return g;
}

int run(const std::string& label, const std::string& text, const std::string* functional) {
  long before_kb = peak_rss_kb();
  auto t0 = std::chrono::steady_clock::now();
  auto result = kelmon::owl::read_manchester(text);
  auto t1 = std::chrono::steady_clock::now();
  if (!result) {
    std::fprintf(stderr, "%s: parse failed: %s\n", label.c_str(), result.error().to_string().c_str());
    return 1;
  }
  long after_kb = peak_rss_kb();
  double secs = std::chrono::duration<double>(t1 - t0).count();
  double mb = static_cast<double>(text.size()) / 1e6;
  std::printf("%s: %.1f MB, %zu axioms, %.3f s, %.1f MB/s; peak RSS %.1f MB (text %.1f MB; growth while "
              "reading %.2f x the text)\n",
              label.c_str(), mb, result->axioms.size(), secs, mb / secs, static_cast<double>(after_kb) / 1024.0,
              mb, static_cast<double>(after_kb - before_kb) * 1024.0 / static_cast<double>(text.size()));
  if (functional) {
    size_t axioms = result->axioms.size();
    result = {};
    auto f0 = std::chrono::steady_clock::now();
    auto same = kelmon::owl::read_functional(*functional);
    auto f1 = std::chrono::steady_clock::now();
    if (!same || same->axioms.size() != axioms) {
      std::fprintf(stderr, "%s: the functional version differs\n", label.c_str());
      return 1;
    }
    std::printf("%s: the same ontology in functional syntax (%.1f MB) reads in %.3f s\n", label.c_str(),
                static_cast<double>(functional->size()) / 1e6, std::chrono::duration<double>(f1 - f0).count());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string arg = argc > 1 ? argv[1] : "";
  if (arg.find(".omn") != std::string::npos) return run(arg, read_or_exit(arg), nullptr);
  std::string pizza = std::string(KELMON_CORPUS_DIR) + "/ontologies/pizza.omn";
  if (arg.empty() && std::filesystem::exists(pizza) && run("pizza.omn", read_or_exit(pizza), nullptr) != 0) return 1;
  size_t mb = arg.empty() ? 60 : std::strtoul(arg.c_str(), nullptr, 10);
  Generated g = generate(mb * 1000 * 1000);
  return run("generated", g.manchester, &g.functional);
}
