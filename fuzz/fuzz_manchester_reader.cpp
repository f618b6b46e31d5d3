// Feeds arbitrary bytes to the Manchester-syntax document reader. Whatever it accepts
// must be written in functional syntax and read back to the same axiom set.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/manchester_reader.h"

using namespace kelmon::owl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto first = read_manchester(text);
  if (!first) return 0;
  std::string header = "Ontology(", front, rest;
  for (const auto& a : first->axioms) {
    std::string line = write_functional_axiom(a);
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
  if (!second) {
    std::fprintf(stderr, "written document does not read back: %s\n%s\n", second.error().to_string().c_str(),
                 again.c_str());
    std::abort();
  }
  if (second->axioms.size() != first->axioms.size()) std::abort();
  for (const auto& a : first->axioms) {
    if (!second->axioms.contains(a)) {
      std::fprintf(stderr, "axiom lost in the round trip: %s\n", write_functional_axiom(a).c_str());
      std::abort();
    }
  }
  return 0;
}
