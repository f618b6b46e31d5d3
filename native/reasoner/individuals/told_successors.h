// The existential restrictions that a document states on its named classes:
// A ⊑ ∃p.F (also inside a conjunction, or through an equivalence) with p a
// named object property and F a named class.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "owl/axiom_set.h"
#include "owl/model.h"

namespace kelmon::reasoner {

// (property IRI, filler class IRI), ordered by bytes.
using ToldSuccessor = std::pair<std::string, std::string>;
using ToldSuccessorSet = std::set<ToldSuccessor>;
// Class IRI → its told successors; no key with an empty set.
using ToldSuccessorMap = std::map<std::string, ToldSuccessorSet, std::less<>>;

// Adds the (property, filler) pairs of the expression: an ObjectSomeValuesFrom
// over a named property with a named filler, itself or as a conjunct (at any
// depth of conjunctions). Inverse properties, complex fillers, unions, nested
// restrictions and data restrictions add nothing.
void told_existential_successors(const owl::ClassExpression& expression, ToldSuccessorSet& out);

// From SubClassOf with a named sub class and from EquivalentClasses (each named
// operand gets the successors of every other operand); other axioms are not read.
ToldSuccessorMap told_successor_map(const owl::AxiomSet& axioms);

}  // namespace kelmon::reasoner
