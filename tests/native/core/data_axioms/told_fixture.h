// Small ontologies in functional syntax for the told data tests. Names are
// written with the empty prefix (":A"), which stands for "http://x/".
#pragma once

#include <string>
#include <vector>

#include "core/axiom.h"
#include "core/ontology.h"
#include "owl/loaded_ontology.h"

namespace kelmon::testing {

inline const std::string ns = "http://x/";
inline std::string iri(const std::string& local) { return ns + local; }

// Reads the body of an ontology document; a parse failure fails the test.
owl::LoadedOntology read_body(const std::string& body);

// The same axioms inserted into a new set in reverse order, so that iteration
// visits them the other way round.
owl::AxiomSet reversed(const owl::AxiomSet& axioms);

// An ontology under construction whose class namespace holds these local names.
struct ToldIr {
  InternalOntology ir;
  ConceptId top;
  ConceptId bottom;
  explicit ToldIr(const std::vector<std::string>& classes);
};

// The axioms rendered as "A < B", "A < Bottom", "Top < Bottom" (local names), in list order.
std::vector<std::string> rendered(const InternalOntology& ir, const std::vector<Axiom>& axioms);
// The same, sorted.
std::vector<std::string> rendered_sorted(const InternalOntology& ir, const std::vector<Axiom>& axioms);

// Runs the told data pass over the body with the classes A-E, X, Y, Z, S in the
// vocabulary and returns its output rendered and sorted.
std::vector<std::string> told_axioms(const std::string& body);
std::vector<std::string> told_axioms(const std::string& body, const std::vector<std::string>& classes);

inline const std::vector<std::string> kClash = {"Top < Bottom"};
inline const std::vector<std::string> kNothing = {};

}  // namespace kelmon::testing
