// Object property values of named individuals: the edges ABox saturation
// derives, and, for object_property_values, those bounded tableau tests prove
// between individuals the saturation already connects.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/axiom_set.h"
#include "owl/loaded_ontology.h"

namespace kelmon::reasoner {

// (subject IRI, property IRI, object IRI).
using PropertyTriple = std::array<std::string, 3>;

// role(subject, object) by ids of one converted ontology.
struct IdTriple {
  IndividualId subject;
  RoleId role;
  IndividualId object;
};

// The edges ABox saturation derives between named individuals, over named
// properties other than the top and bottom property and the internal roles
// that stand for links of long chains. Sorted, without duplicates; Inconsistent
// when the saturation finds a clash.
Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet& axioms);
Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::LoadedOntology& loaded);

struct PropertyValues {
  std::vector<PropertyTriple> triples;  // sorted, without duplicates
  bool incomplete = false;
};

// The saturation's triples plus those that a test bounded by 1 s proves, for
// every declared property between two individuals some triple connects.
// `incomplete` is set whenever a test ran and whenever the ontology is not simple.
Result<PropertyValues> object_property_values(const owl::LoadedOntology& loaded);

// Roles of the DeclareObjectProperty axioms, ascending, without duplicates.
std::vector<RoleId> declared_object_properties(const InternalOntology& ir);

// Per unordered pair {s, o} of the triples, at its first triple: (s, o), then
// (o, s) unless s = o.
std::vector<std::pair<IndividualId, IndividualId>> connected_individual_pairs(const std::vector<IdTriple>& triples);

}  // namespace kelmon::reasoner
