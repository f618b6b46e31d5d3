// Diagnosis of unsatisfiable classes: which are unsatisfiable on their own
// account (roots) and which only because they are told to depend on a root
// (derived), over the told-dependency graph between unsatisfiable classes.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/axiom_set.h"
#include "owl/model.h"
#include "reasoner/explanation/kernel_seam.h"

namespace kelmon::explain {

using ClassSet = std::set<std::string>;                  // byte order
using DependencyGraph = std::map<std::string, ClassSet>;  // A → the unsatisfiable classes A is told to need
using ReachMap = std::map<std::string, ClassSet>;

struct UnsatPartition {
  bool consistent = true;
  std::vector<std::string> roots;                                         // ascending
  std::vector<std::pair<std::string, std::vector<std::string>>> derived;  // ascending, roots ascending
};

// Adds every named class reached through intersection operands and the
// fillers of existential restrictions; other constructors add nothing.
void collect_told_parents(const owl::ClassExpression& expression, ClassSet& parents);

// With A unsatisfiable: the edges A → B for each B of `parents` that is
// unsatisfiable and not A.
void add_told_dependencies(const ClassSet& unsatisfiable, DependencyGraph& graph, const std::string& a,
                           ClassSet parents);

// Edges from SubClassOf axioms with a named subclass and from every named
// member of an EquivalentClasses axiom to the others.
DependencyGraph told_dependency_graph(const std::vector<owl::Axiom>& logical, const ClassSet& unsatisfiable);

// True when every class C reaches also reaches C back.
bool is_root_unsatisfiable(const ReachMap& reach, const std::string& c);

UnsatPartition partition_unsatisfiable(const ClassSet& unsatisfiable, const DependencyGraph& graph);

// The whole diagnosis of a loaded ontology: an inconsistent ontology gives
// consistent = false and no classes.
Result<UnsatPartition> diagnose(const owl::AxiomSet& loaded, KernelTests& kernel);

}  // namespace kelmon::explain
