// Throughput and peak memory of the functional-syntax reader on a generated document
// (default 100 MB; first argument: size in MB; or a path to an .ofn file).
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_util.h"
#include "owl/functional_reader.h"

using kelmon::bench::peak_rss_kb;

namespace {

double cpu_seconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// A document shaped like the large biomedical ontologies: declarations, labelled
// classes with a definition, told subclasses, existential restrictions, a few
// equivalences and some individuals.
std::string generate(size_t target_bytes) {
  std::string s;
  s.reserve(target_bytes + 4096);
  s += "Prefix(:=<http://example.org/big#>)\nPrefix(obo:=<http://purl.obolibrary.org/obo/>)\n"
       "Prefix(rdfs:=<http://www.w3.org/2000/01/rdf-schema#>)\n"
       "Ontology(<http://example.org/big>\n"
       "Declaration(ObjectProperty(obo:BFO_0000050))\nDeclaration(DataProperty(:weight))\n";
  char line[512];
  for (size_t i = 1; s.size() < target_bytes; ++i) {
    size_t parent = i / 2, other = (i * 7919) % (i + 1);
    int n = std::snprintf(
        line, sizeof line,
        "Declaration(Class(obo:GO_%07zu))\n"
        "AnnotationAssertion(rdfs:label obo:GO_%07zu \"term number %zu\"^^xsd:string)\n"
        "AnnotationAssertion(Annotation(obo:source \"GOC:curators\") obo:IAO_0000115 obo:GO_%07zu "
        "\"A process that \\\"does\\\" thing %zu in the cell.\"@en)\n"
        "SubClassOf(obo:GO_%07zu obo:GO_%07zu)\n"
        "SubClassOf(obo:GO_%07zu ObjectSomeValuesFrom(obo:BFO_0000050 obo:GO_%07zu))\n",
        i, i, i, i, i, i, parent, i, other);
    s.append(line, static_cast<size_t>(n));
    if (i % 10 == 0) {
      n = std::snprintf(line, sizeof line,
                        "EquivalentClasses(obo:GO_%07zu ObjectIntersectionOf(obo:GO_%07zu "
                        "ObjectSomeValuesFrom(obo:BFO_0000050 obo:GO_%07zu)))\n"
                        "ClassAssertion(obo:GO_%07zu :ind%zu)\n"
                        "DataPropertyAssertion(:weight :ind%zu \"%zu\"^^xsd:integer)\n",
                        i, parent, other, i, i, i, i);
      s.append(line, static_cast<size_t>(n));
    }
  }
  s += ")\n";
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  std::string text;
  std::string label;
  if (argc > 1 && std::string(argv[1]).find(".ofn") != std::string::npos) {
    text = kelmon::bench::read_or_exit(argv[1]);
    label = argv[1];
  } else {
    size_t mb = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100;
    text = generate(mb * 1000 * 1000);
    label = "generated";
  }
  long before_kb = peak_rss_kb();
  double c0 = cpu_seconds();
  auto t0 = std::chrono::steady_clock::now();
  auto result = kelmon::owl::read_functional(text);
  auto t1 = std::chrono::steady_clock::now();
  double cpu = cpu_seconds() - c0;
  if (!result) {
    std::fprintf(stderr, "parse failed: %s\n", result.error().to_string().c_str());
    return 1;
  }
  long after_kb = peak_rss_kb();
  double secs = std::chrono::duration<double>(t1 - t0).count();
  double mb = static_cast<double>(text.size()) / 1e6;
  // CPU time as well: on a shared machine the wall clock also counts waiting for a core.
  std::printf("%s: %.1f MB, %zu axioms, %.3f s (%.3f s CPU), %.1f MB/s (%.1f MB/s of CPU time), "
              "peak memory of the model %.2f x file size\n",
              label.c_str(), mb, result->axioms.size(), secs, cpu, mb / secs, mb / cpu,
              static_cast<double>(after_kb - before_kb) * 1024.0 / static_cast<double>(text.size()));
  auto t2 = std::chrono::steady_clock::now();
  result = std::unexpected(kelmon::owl::ParseError{});
  auto t3 = std::chrono::steady_clock::now();
  std::printf("freeing the model: %.3f s\n", std::chrono::duration<double>(t3 - t2).count());
  return 0;
}
