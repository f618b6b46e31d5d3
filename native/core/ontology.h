// The converted ontology every engine reads: names, concepts, axioms and the
// report of what conversion had to leave out.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/axiom.h"
#include "core/concept_pool.h"
#include "core/vocab.h"

namespace kelmon {

struct InternalOntology {
  Vocabulary vocabulary;
  ConceptPool concepts;
  std::vector<Axiom> axioms;  // sorted by axiom_less once conversion has finished
  // Dropped-axiom text ("SubClassOf: unsupported data range") -> count, in byte order.
  std::map<std::string, std::uint64_t> dropped;
};

}  // namespace kelmon
