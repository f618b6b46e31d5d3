// Load and conversion time and peak memory: generated ontologies of 10^3, 10^4
// and 10^5 classes in each syntax, or the files given. Each case is parsed and
// converted `--runs` times; the figures are the median of the runs (thread CPU
// time, so that other work on the machine counts less), the ratio is
// convert / parse.
//   scripts/bench-native load_convert [--runs N] [--only SYNTAX[:CLASSES]] [file ...]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_util.h"
#include "core/convert/convert.h"
#include "owl/load.h"

using kelmon::bench::peak_rss_kb;

namespace {

double cpu_ms() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

std::string num(size_t i) { return std::to_string(i); }

// One EL-style TBox with some unions, disjointness and a role hierarchy, the
// same in every syntax: C1 … C(n-1) under C(i/2), every third with an
// existential, every seventh defined, every thirteenth disjoint from its
// predecessor.
struct Shape {
  static constexpr size_t roles = 20;
  static bool has_some(size_t i) { return i % 3 == 0; }
  static bool has_definition(size_t i) { return i % 7 == 0; }
  static bool has_disjoint(size_t i) { return i % 13 == 0; }
};

std::string generate_ofn(size_t n) {
  std::string s = "Prefix(:=<http://bench/>)\nOntology(<http://bench/o>\n";
  for (size_t r = 0; r < Shape::roles; ++r) s += "SubObjectPropertyOf(:r" + num(r) + " :r" + num(r / 2) + ")\n";
  for (size_t i = 1; i < n; ++i) {
    std::string c = ":C" + num(i);
    s += "Declaration(Class(" + c + "))\n";
    s += "SubClassOf(" + c + " :C" + num(i / 2) + ")\n";
    if (Shape::has_some(i))
      s += "SubClassOf(" + c + " ObjectSomeValuesFrom(:r" + num(i % 20) + " :C" + num(i / 3) + "))\n";
    if (Shape::has_definition(i))
      s += "EquivalentClasses(" + c + " ObjectIntersectionOf(:C" + num(i - 1) + " ObjectSomeValuesFrom(:r" +
           num(i % 11) + " :C" + num(i / 5) + ")))\n";
    if (Shape::has_disjoint(i)) s += "DisjointClasses(" + c + " :C" + num(i - 1) + ")\n";
  }
  return s + ")\n";
}

std::string generate_owx(size_t n) {
  std::string s =
      "<?xml version=\"1.0\"?>\n<Ontology xmlns=\"http://www.w3.org/2002/07/owl#\" ontologyIRI=\"http://bench/o\">\n";
  auto cls = [](size_t i) { return "<Class IRI=\"http://bench/C" + num(i) + "\"/>"; };
  auto prop = [](size_t r) { return "<ObjectProperty IRI=\"http://bench/r" + num(r) + "\"/>"; };
  for (size_t r = 0; r < Shape::roles; ++r) s += "<SubObjectPropertyOf>" + prop(r) + prop(r / 2) + "</SubObjectPropertyOf>\n";
  for (size_t i = 1; i < n; ++i) {
    s += "<Declaration>" + cls(i) + "</Declaration>\n";
    s += "<SubClassOf>" + cls(i) + cls(i / 2) + "</SubClassOf>\n";
    if (Shape::has_some(i))
      s += "<SubClassOf>" + cls(i) + "<ObjectSomeValuesFrom>" + prop(i % 20) + cls(i / 3) +
           "</ObjectSomeValuesFrom></SubClassOf>\n";
    if (Shape::has_definition(i))
      s += "<EquivalentClasses>" + cls(i) + "<ObjectIntersectionOf>" + cls(i - 1) + "<ObjectSomeValuesFrom>" +
           prop(i % 11) + cls(i / 5) + "</ObjectSomeValuesFrom></ObjectIntersectionOf></EquivalentClasses>\n";
    if (Shape::has_disjoint(i)) s += "<DisjointClasses>" + cls(i) + cls(i - 1) + "</DisjointClasses>\n";
  }
  return s + "</Ontology>\n";
}

// RDF/XML declares the properties and C0 as well: its mapping needs to know
// what each name is.
std::string generate_rdf(size_t n) {
  std::string s =
      "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"\n"
      "  xmlns:rdfs=\"http://www.w3.org/2000/01/rdf-schema#\"\n  xmlns:owl=\"http://www.w3.org/2002/07/owl#\">\n"
      "<owl:Ontology rdf:about=\"http://bench/o\"/>\n";
  auto about = [](const std::string& name) { return " rdf:about=\"http://bench/" + name + "\""; };
  auto resource = [](const std::string& name) { return " rdf:resource=\"http://bench/" + name + "\""; };
  auto some = [&](size_t r, size_t c) {
    return "<owl:Restriction><owl:onProperty" + resource("r" + num(r)) + "/><owl:someValuesFrom" +
           resource("C" + num(c)) + "/></owl:Restriction>";
  };
  for (size_t r = 0; r < Shape::roles; ++r)
    s += "<owl:ObjectProperty" + about("r" + num(r)) + "><rdfs:subPropertyOf" + resource("r" + num(r / 2)) +
         "/></owl:ObjectProperty>\n";
  s += "<owl:Class" + about("C0") + "/>\n";
  for (size_t i = 1; i < n; ++i) {
    s += "<owl:Class" + about("C" + num(i)) + "><rdfs:subClassOf" + resource("C" + num(i / 2)) + "/>";
    if (Shape::has_some(i)) s += "<rdfs:subClassOf>" + some(i % 20, i / 3) + "</rdfs:subClassOf>";
    if (Shape::has_definition(i))
      s += "<owl:equivalentClass><owl:Class><owl:intersectionOf rdf:parseType=\"Collection\"><owl:Class" +
           about("C" + num(i - 1)) + "/>" + some(i % 11, i / 5) + "</owl:intersectionOf></owl:Class></owl:equivalentClass>";
    if (Shape::has_disjoint(i)) s += "<owl:disjointWith" + resource("C" + num(i - 1)) + "/>";
    s += "</owl:Class>\n";
  }
  return s + "</rdf:RDF>\n";
}

std::string generate_omn(size_t n) {
  std::string s = "Prefix: : <http://bench/>\nOntology: <http://bench/o>\n";
  for (size_t r = 0; r < Shape::roles; ++r) s += "ObjectProperty: r" + num(r) + "\n  SubPropertyOf: r" + num(r / 2) + "\n";
  s += "Class: C0\n";
  for (size_t i = 1; i < n; ++i) {
    s += "Class: C" + num(i) + "\n  SubClassOf: C" + num(i / 2);
    if (Shape::has_some(i)) s += ", r" + num(i % 20) + " some C" + num(i / 3);
    s += "\n";
    if (Shape::has_definition(i))
      s += "  EquivalentTo: C" + num(i - 1) + " and (r" + num(i % 11) + " some C" + num(i / 5) + ")\n";
    if (Shape::has_disjoint(i)) s += "  DisjointWith: C" + num(i - 1) + "\n";
  }
  return s;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void run(const std::string& label, const std::string& text, const std::string& format, int runs) {
  std::vector<double> parse_ms, convert_ms;
  kelmon::ConvertTimings stages;  // of the fastest conversion
  double fastest = 1e300;
  size_t axioms = 0;
  for (int k = 0; k < runs; ++k) {
    double c0 = cpu_ms();
    auto loaded = kelmon::owl::parse_ontology_text(text, format);
    double c1 = cpu_ms();
    if (!loaded) {
      std::printf("%-26s %s\n", label.c_str(), loaded.error().c_str());
      return;
    }
    kelmon::ConvertTimings t;
    kelmon::InternalOntology ir = kelmon::convert_ontology(loaded->axioms, &t);
    double c2 = cpu_ms();
    parse_ms.push_back(c1 - c0);
    convert_ms.push_back(c2 - c1);
    if (c2 - c1 < fastest) fastest = c2 - c1, stages = t;
    axioms = loaded->axioms.size();
  }
  double p = median(parse_ms), c = median(convert_ms);
  std::printf("%-26s %6.1f MB %7zu axioms  parse %7.1f ms  convert %7.1f ms  ratio %.2f  (order %.1f, loop %.1f, "
              "data %.1f, ir %.1f, sort %.1f)  peak %ld MB\n",
              label.c_str(), text.size() / 1e6, axioms, p, c, c / p, stages.visiting_order_us / 1e3,
              stages.main_loop_us / 1e3, stages.data_passes_us / 1e3, stages.ir_passes_us / 1e3, stages.sort_us / 1e3,
              peak_rss_kb() / 1024);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::string only;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--only" && i + 1 < argc) only = argv[++i];
    else files.push_back(a);
  }
  for (const std::string& path : files) {
    auto format = kelmon::owl::format_from_extension(path);
    if (!format) {
      std::printf("%s: %s\n", path.c_str(), format.error().c_str());
      continue;
    }
    run(path.substr(path.find_last_of('/') + 1), kelmon::bench::read_or_exit(path), *format, runs);
  }
  if (!files.empty()) return 0;
  struct Syntax {
    const char* name;
    std::string (*generate)(size_t);
  };
  const Syntax syntaxes[] = {{"ofn", generate_ofn}, {"owx", generate_owx}, {"rdf", generate_rdf}, {"omn", generate_omn}};
  for (size_t n : {1000u, 10000u, 100000u}) {
    for (const Syntax& syntax : syntaxes) {
      std::string label = std::string(syntax.name) + ":" + num(n);
      if (!only.empty() && label != only && only != syntax.name) continue;
      run(std::string(syntax.name) + " " + num(n) + " classes", syntax.generate(n), syntax.name, runs);
    }
  }
  return 0;
}
