// Told types of every individual at once, and the instance test on told types
// computed beforehand: a walk of the axioms per (individual, class) would make
// the tableau routes quadratic in the ontology's size.
#pragma once

#include <vector>

#include "reasoner/individuals/instance_test.h"

namespace kelmon::reasoner::individuals {

// Indexed by IndividualId; each list as told_types gives it.
std::vector<std::vector<ClassId>> told_type_table(const InternalOntology& ir);

// The told-type shortcut: some told type's saturation row holds `cls`.
bool told_entails(const std::vector<ClassId>& told, const sat::ElResult& saturation, ClassId cls);

// test_instance with the individual's told types given.
Result<InstanceAnswer> test_instance_told(const std::vector<ClassId>& told, const sat::ElResult& saturation,
                                          const PreparedReasoner& prepared, ClassId cls, IndividualId individual,
                                          Deadline deadline, const CandidateSet* candidates);

// Deadline of one test: now plus the timeout, or none.
Deadline instance_test_deadline(std::optional<std::uint64_t> timeout_ms);

}  // namespace kelmon::reasoner::individuals
