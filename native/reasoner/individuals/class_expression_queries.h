// Satisfiability, subsumption and instances of class expressions that the
// ontology need not name: each expression gets a probe class, and the
// named-class services answer about the probe.
#pragma once

#include <string>
#include <vector>

#include "common/reasoner_error.h"
#include "owl/loaded_ontology.h"
#include "owl/model.h"

namespace kelmon::reasoner {

// `incomplete` unless saturation gave the answer inside the fragment where it
// is complete: an answer from the tableau or hypertableau is flagged even
// when it is exact. So is every answer over axioms that conversion dropped:
// a dropped probe axiom leaves the probe an unconstrained class, and the
// question about the expression unasked.
struct ExpressionAnswer {
  bool answer = false;
  bool incomplete = true;
};

struct ExpressionInstances {
  std::vector<std::string> individuals;  // sorted by bytes, no duplicates
  bool incomplete = true;
};

Result<ExpressionAnswer> class_expression_satisfiable(const owl::LoadedOntology& loaded,
                                                      const owl::ClassExpression& ce);
Result<ExpressionAnswer> class_expression_entailed_subclass(const owl::LoadedOntology& loaded,
                                                            const owl::ClassExpression& sub_ce,
                                                            const owl::ClassExpression& sup_ce);
// The flag comes from the satisfiability test of the probe, not from the
// instance tests.
Result<ExpressionInstances> class_expression_instances(const owl::LoadedOntology& loaded,
                                                       const owl::ClassExpression& ce);

}  // namespace kelmon::reasoner
