// What every classification does before it prepares a reasoner: the
// inconsistency pre-check, and the taxonomy straight from saturation when the
// ontology lies in a fragment where saturation is complete.
#pragma once

#include <optional>

#include "core/ir.h"
#include "reasoner/classify/classification.h"
#include "reasoner/classify/kernel_routes.h"
#include "reasoner/classify/reportable.h"
#include "reasoner/classify/taxonomy.h"
#include "reasoner/kernel/consistency.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

struct PreambleOutcome {
  std::optional<Classification> answer;  // inconsistent, or the taxonomy from saturation
  ConsistencyVerdict precheck = ConsistencyVerdict::Unknown;  // Unknown also when skipped
};

PreambleOutcome classification_preamble(const InternalOntology& ir, const ReportableClasses& reportable,
                                        const RowByIri& row_by_iri, const sat::ElResult& saturation);

// KELMON_TRACE set to any value.
bool classify_tracing();

}  // namespace kelmon::reasoner
