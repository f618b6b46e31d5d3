// The single (individual, class) instance test shared by realization and
// instance retrieval, its two shortcuts (told types read off the saturation,
// and a pseudo model that already refutes most classes), and the switches
// that choose the route and bound each test.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/ids.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/kernel/prepared_reasoner.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

// Never both true.
struct InstanceAnswer {
  bool is_instance = false;
  bool timed_out = false;  // undecided: out of time or stopped by a search bound
  friend bool operator==(const InstanceAnswer&, const InstanceAnswer&) = default;
};

// The concept ids one model puts on an individual's node: a class missing
// from it is not entailed.
using CandidateSet = tsl::robin_set<std::uint32_t>;

// Realization and instance queries may read types off the ABox-aware
// saturation alone: the ontology lies where saturation is complete and its
// assertions have a shape that saturation takes in. KELMON_REALIZE_SATURATION
// "0" forces the tableau route.
bool use_saturation_for_realize(const InternalOntology& ir);

// KELMON_REALIZE_PAIR_TIMEOUT_MS: 750 when unset or invalid; "0" means no bound.
std::optional<std::uint64_t> realize_pair_timeout_ms();

// Classes the individual is told to be in: asserted atomic types, and the
// atomic domains and ranges of the properties it is asserted to take part in
// (duplicates possible). An assertion over an inverse property states the
// named property the other way round, so its subject takes the ranges.
std::vector<ClassId> told_types(const InternalOntology& ir, IndividualId individual);

// Is `individual` an instance of `cls`? A told type whose saturation row holds
// the class answers yes; a candidate set without the class answers no; then
// a run of the wedge clause set that keeps the individual out of the class
// (bounded by the deadline, or by KELMON_PSEUDO_MODEL_WITNESS_MS without one),
// and the tableau decides the rest. A test that cannot decide, by the
// deadline or by a search bound such as the node limit, answers "not an
// instance" with timed_out set; other failures are returned.
Result<InstanceAnswer> test_instance(const InternalOntology& ir, const sat::ElResult& saturation,
                                     const PreparedReasoner& prepared, ClassId cls, IndividualId individual,
                                     Deadline deadline, const CandidateSet* candidates);

}  // namespace kelmon::reasoner
