// What explanation asks of the reasoning kernel about one freshly converted
// ontology. The searches and the oracle reach the kernel only through this
// interface, so they can be driven by a test kernel, and so that no answer is
// given before a real test stands behind it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/axiom_set.h"
#include "reasoner/classify/classification.h"
#include "reasoner/properties/property_values.h"

namespace kelmon::explain {

struct ConsistencyAnswer {
  bool consistent = true;
  bool answered_by_saturation = false;
};

using reasoner::PropertyTriple;

class KernelTests {
 public:
  virtual ~KernelTests() = default;
  // Each test consumes the ontology one conversion produced. An unknown class
  // or individual IRI fails with UnknownClass or UnknownIndividual.
  virtual Result<bool> entails_subclass(InternalOntology ir, std::string_view sub, std::string_view sup) = 0;
  virtual Result<bool> is_satisfiable(InternalOntology ir, std::string_view class_iri) = 0;
  virtual Result<ConsistencyAnswer> check_consistency(InternalOntology ir) = 0;
  // owl:Thing and owl:Nothing need no declaration; the class is looked up first.
  virtual Result<bool> is_instance_of(InternalOntology ir, std::string_view class_iri,
                                      std::string_view individual_iri) = 0;
  // Sorted triples over named individuals; Inconsistent when saturation finds a clash.
  virtual Result<std::vector<PropertyTriple>> inferred_object_property_assertions(const owl::AxiomSet& candidate) = 0;
  // ABox saturation without a deadline found a clash (finding none means nothing).
  virtual bool abox_saturation_inconsistent(const InternalOntology& ir) = 0;
  // The ABox pre-check gate without a timeout: off by its switch or without
  // assertions gives false.
  virtual bool abox_saturation_clash(const InternalOntology& ir) = 0;
  // Classification without per-pair timeout or global deadline.
  virtual Result<reasoner::Classification> classify_unbounded(InternalOntology ir) = 0;
};

// The kernel as it stands in this build. A test cut short answers NoVerdict
// (cannot decide), so explanation never answers from a guess.
KernelTests& built_kernel();

}  // namespace kelmon::explain
