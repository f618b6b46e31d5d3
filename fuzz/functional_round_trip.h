// The oracle shared by the reader fuzz targets: an accepted document, written out in
// functional syntax (and rendered in Manchester syntax), must read back to the same
// axiom set.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "owl/functional_reader.h"
#include "owl/functional_writer.h"
#include "owl/manchester_writer.h"
#include "owl/structural.h"

namespace kelmon::owl::fuzz {

// `must_read_back`: false where the source syntax can spell IRIs that functional syntax
// cannot (a space, for instance); a failed read-back is then accepted, a different
// axiom set never.
inline void check_functional_round_trip(const LoadedOntology& first, bool must_read_back) {
  std::string header = "Ontology(", front, rest;
  for (const auto& a : first.axioms) {
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
  if (!second) {
    if (!must_read_back) return;
    std::fprintf(stderr, "written document does not read back: %s\n%s\n", second.error().to_string().c_str(),
                 again.c_str());
    std::abort();
  }
  if (second->axioms.size() != first.axioms.size()) {
    std::fprintf(stderr, "axiom count differs after the round trip:\n%s\n", again.c_str());
    std::abort();
  }
  for (const auto& a : first.axioms) {
    if (!second->axioms.contains(a)) {
      std::fprintf(stderr, "axiom lost in the round trip: %s\n", write_functional_axiom(a).c_str());
      std::abort();
    }
  }
}

}  // namespace kelmon::owl::fuzz
