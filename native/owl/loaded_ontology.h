#pragma once
#include <map>
#include <string>

#include "owl/axiom_set.h"

namespace kelmon::owl {

// Prefix name (without the colon; "" for the default prefix) -> IRI.
using PrefixMapping = std::map<std::string, std::string, std::less<>>;

// One loaded ontology document: its annotated axioms and its prefix mapping.
struct LoadedOntology {
  AxiomSet axioms;
  PrefixMapping prefixes;
};

}  // namespace kelmon::owl
