// Feeds arbitrary bytes to the OWL/XML reader. Whatever it accepts, written out in
// functional syntax and read back by the functional reader, must give the same axiom
// set (an IRI that functional syntax cannot spell, such as one with a space, may make
// that read fail; then only the absence of a crash is checked).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/manchester_writer.h"
#include "owl/owl_xml_reader.h"
#include "owl/structural.h"

using namespace kelmon::owl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = read_owl_xml(text);
  if (!first) return 0;
  std::string header = "Ontology(", front, rest;
  for (const auto& a : first->axioms) {
    std::string line = write_functional_axiom(a);
    (void)render_manchester_axiom(a);
    if (std::holds_alternative<OntologyHeader>(a.axiom)) {
      line.pop_back();
      header = line + "\n";
    } else if (std::holds_alternative<Import>(a.axiom) || std::holds_alternative<OntologyAnnotation>(a.axiom)) {
      front += line + "\n";
    } else {
      rest += line + "\n";
    }
  }
  std::string again = header + front + rest + ")";
  auto second = read_functional(again);
  if (!second) return 0;
  if (second->axioms.size() != first->axioms.size()) {
    std::fprintf(stderr, "axiom count differs after the round trip:\n%s\n", again.c_str());
    std::abort();
  }
  for (const auto& a : first->axioms) {
    if (!second->axioms.contains(a)) {
      std::fprintf(stderr, "axiom lost in the round trip: %s\n", write_functional_axiom(a).c_str());
      std::abort();
    }
  }
  return 0;
}
