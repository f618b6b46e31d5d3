// Load and conversion time and peak memory: generated ontologies of 10^3, 10^4
// and 10^5 classes in each syntax with a reader, or the files given.
//   scripts/bench-native load_convert [file ...]
#include <sys/resource.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_util.h"
#include "common/deadline.h"
#include "core/convert/convert.h"
#include "owl/document_source.h"
#include "owl/load.h"

using kelmon::bench::peak_rss_kb;

namespace {

using kelmon::Clock;

double cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// An EL-style TBox with some unions, disjointness and a role hierarchy.
std::string generate_ofn(size_t n) {
  std::string s = "Prefix(:=<http://bench/>)\nOntology(<http://bench/o>\n";
  for (size_t r = 0; r < 20; ++r) s += "SubObjectPropertyOf(:r" + std::to_string(r) + " :r" + std::to_string(r / 2) + ")\n";
  for (size_t i = 1; i < n; ++i) {
    std::string c = ":C" + std::to_string(i);
    s += "Declaration(Class(" + c + "))\n";
    s += "SubClassOf(" + c + " :C" + std::to_string(i / 2) + ")\n";
    if (i % 3 == 0)
      s += "SubClassOf(" + c + " ObjectSomeValuesFrom(:r" + std::to_string(i % 20) + " :C" + std::to_string(i / 3) + "))\n";
    if (i % 7 == 0)
      s += "EquivalentClasses(" + c + " ObjectIntersectionOf(:C" + std::to_string(i - 1) + " ObjectSomeValuesFrom(:r" +
           std::to_string(i % 11) + " :C" + std::to_string(i / 5) + ")))\n";
    if (i % 13 == 0) s += "DisjointClasses(" + c + " :C" + std::to_string(i - 1) + ")\n";
  }
  return s + ")\n";
}

std::string generate_owx(size_t n) {
  std::string s =
      "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" ontologyIRI=\"http://bench/o\">\n";
  auto cls = [](size_t i) { return "<Class IRI=\"http://bench/C" + std::to_string(i) + "\"/>"; };
  auto prop = [](size_t r) { return "<ObjectProperty IRI=\"http://bench/r" + std::to_string(r) + "\"/>"; };
  for (size_t r = 0; r < 20; ++r) s += "<SubObjectPropertyOf>" + prop(r) + prop(r / 2) + "</SubObjectPropertyOf>\n";
  for (size_t i = 1; i < n; ++i) {
    s += "<Declaration>" + cls(i) + "</Declaration>\n";
    s += "<SubClassOf>" + cls(i) + cls(i / 2) + "</SubClassOf>\n";
    if (i % 3 == 0)
      s += "<SubClassOf>" + cls(i) + "<ObjectSomeValuesFrom>" + prop(i % 20) + cls(i / 3) +
           "</ObjectSomeValuesFrom></SubClassOf>\n";
    if (i % 7 == 0)
      s += "<EquivalentClasses>" + cls(i) + "<ObjectIntersectionOf>" + cls(i - 1) + "<ObjectSomeValuesFrom>" +
           prop(i % 11) + cls(i / 5) + "</ObjectSomeValuesFrom></ObjectIntersectionOf></EquivalentClasses>\n";
    if (i % 13 == 0) s += "<DisjointClasses>" + cls(i) + cls(i - 1) + "</DisjointClasses>\n";
  }
  return s + "</Ontology>\n";
}

void run(const std::string& label, const std::string& text, const std::string& format) {
  double c0 = cpu_ms();
  auto t0 = Clock::now();
  auto loaded = kelmon::owl::parse_ontology_text(text, format);
  auto t1 = Clock::now();
  double c1 = cpu_ms();
  if (!loaded) {
    std::printf("%-28s %s\n", label.c_str(), loaded.error().c_str());
    return;
  }
  kelmon::ConvertTimings t;
  kelmon::InternalOntology ir = kelmon::convert_ontology(loaded->axioms, &t);
  auto t2 = Clock::now();
  double c2 = cpu_ms();
  double parse_ms = std::chrono::duration<double, std::milli>(t1 - t0).count();
  double convert_ms = std::chrono::duration<double, std::milli>(t2 - t1).count();
  std::printf("%-28s %8.1f MB %9zu axioms  parse %8.1f ms  convert %8.1f ms  (order %.1f, loop %.1f, data %.1f, ir %.1f, "
              "sort %.1f)  ratio %.2f  cpu parse %.1f convert %.1f ms  peak %ld MB\n",
              label.c_str(), text.size() / 1e6, loaded->axioms.size(), parse_ms, convert_ms,
              t.visiting_order_us / 1e3, t.main_loop_us / 1e3, t.data_passes_us / 1e3, t.ir_passes_us / 1e3,
              t.sort_us / 1e3, convert_ms / parse_ms, c1 - c0, c2 - c1, peak_rss_kb() / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    for (int i = 1; i < argc; ++i) {
      auto text = kelmon::owl::read_document_file(argv[i]);
      auto format = kelmon::owl::format_from_extension(argv[i]);
      if (!text || !format) {
        std::printf("%s: %s\n", argv[i], (!text ? text.error() : format.error()).c_str());
        continue;
      }
      run(argv[i], *text, *format);
    }
    return 0;
  }
  for (size_t n : {1000u, 10000u, 100000u}) {
    run("ofn " + std::to_string(n) + " classes", generate_ofn(n), "ofn");
    run("owx " + std::to_string(n) + " classes", generate_owx(n), "owx");
  }
  return 0;
}
