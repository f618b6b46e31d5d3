// The classification driver: from a converted ontology to a Classification,
// bounded by a per-pair timeout and a global deadline. Saturation answers
// alone inside the fragments where it is complete; otherwise the reasoner is
// prepared, labels and per-class tests run, and candidate pairs are verified
// in parallel. A test cut short by a bound is counted in timed_out_pairs.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/loaded_ontology.h"
#include "reasoner/classify/classification.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/taxonomy.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

// Milliseconds as given to classify; absent or 0 means no bound.
Result<Classification> run_classify(const owl::LoadedOntology& loaded, std::optional<std::uint64_t> per_pair_ms,
                                    std::optional<std::uint64_t> global_ms, bool saturation_only);

// (pending, expired): whether the global limit still runs after conversion.
std::pair<bool, bool> prep_deadline_pending(Instant start, Clock::duration global);

// The IR is borrowed. Prints the ELI report first when KELMON_CB_ELI_PROBE is set.
Result<Classification> classify_internal(const InternalOntology& ir, Timeout per_pair_timeout, Deadline deadline);

Result<Classification> classify_main(const InternalOntology& ir, Timeout per_pair_timeout, Deadline deadline);

// The taxonomy of a saturation the deadline cut short, marked partial and incomplete.
Classification trace_prep_deadline_expired(const ReportableClasses& reportable, const RowByIri& row_by_iri,
                                           const sat::ElResult& saturation, std::string_view phase);

}  // namespace kelmon::reasoner
