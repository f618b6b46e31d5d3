// The data-property class expressions: restrictions on data properties become
// concepts over data-value key classes.
#pragma once

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/model.h"

namespace kelmon {

UnsupportedOr<ConceptId> convert_data_some(const owl::DataSomeValuesFrom& e, InternalOntology& onto);
UnsupportedOr<ConceptId> convert_data_all(const owl::DataAllValuesFrom& e, InternalOntology& onto);
UnsupportedOr<ConceptId> convert_data_has_value(const owl::DataHasValue& e, InternalOntology& onto);

enum class CardinalityMode { AtLeast, AtMost, Exact };
UnsupportedOr<ConceptId> convert_data_cardinality(std::uint32_t n, const owl::DataProperty& property,
                                                  const owl::DataRange& range, CardinalityMode mode,
                                                  InternalOntology& onto);

}  // namespace kelmon
