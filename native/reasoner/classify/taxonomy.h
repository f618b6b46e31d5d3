// Building a Classification from saturation alone, or for an inconsistent ontology.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tsl/robin_map.h>

#include "core/ir.h"
#include "reasoner/classify/classification.h"
#include "reasoner/classify/reportable.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

using RowByIri = tsl::robin_map<std::string, std::uint64_t>;

RowByIri rows_by_iri(const ReportableClasses& reportable);

// Takes the classes and the map by value: a caller done with them moves them in.
Classification taxonomy_from_saturation(ReportableClasses reportable, const sat::ElResult& saturation,
                                        RowByIri row_by_iri, std::uint8_t fragment_kind);

Classification inconsistent_classification(std::vector<std::string> classes, RowByIri row_by_iri,
                                           std::uint8_t fragment_kind);

// The taxonomy read straight off the EL saturation: no preparation, no worker
// threads, no limits. Complete only inside the saturation fragment; the result
// records the fragment kind.
Classification classify_saturation_only(const InternalOntology& ir);

}  // namespace kelmon::reasoner
