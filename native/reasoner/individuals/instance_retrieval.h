// Instance questions about one class, answered without realizing the whole
// ontology: tests one after the other on the calling thread, with neither
// classification nor pseudo model.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/individuals/instance_test.h"

namespace kelmon::reasoner {

struct InstanceList {
  std::vector<std::string> instances;  // named individuals, IndividualId order
  bool timed_out = false;              // some test (an anonymous individual's too) ran out of time
};

// UnknownClass for a class IRI not in the ontology.
Result<InstanceList> instances_of_internal(const InternalOntology& ir, std::string_view class_iri);

// UnknownClass first, then UnknownIndividual.
Result<InstanceAnswer> is_instance_of_internal(const InternalOntology& ir, std::string_view class_iri,
                                               std::string_view individual_iri);

}  // namespace kelmon::reasoner
