// Class-keyed facts of the index handed down from a named conjunct B to every
// class A told to be a subclass of an intersection holding B.
#pragma once

#include <map>
#include <string>

#include "core/data_axioms/data_axiom_index.h"
#include "owl/axiom_set.h"

namespace kelmon {

// A -> the named conjuncts B (B ≠ A) of intersections A is told to be a subclass of.
using ConjunctSupers = std::map<std::string, IriSet>;

ConjunctSupers collect_conjunct_supers(const owl::AxiomSet& axioms);

// Sweeps until nothing changes: at-least and at-most bounds, required values
// with their restrictions, and integer ranges.
void propagate_conjunct_facts(const ConjunctSupers& supers, DataAxiomIndex& index);

}  // namespace kelmon
