// Data-property axioms and assertions: their key concepts.
#pragma once

#include "common/reasoner_error.h"
#include "core/ir.h"
#include "owl/model.h"

namespace kelmon {

// DataPropertyRange(p, R) as ObjectPropertyRange over the key concept of R.
UnsupportedOr<Axiom> convert_data_property_range(const owl::DataPropertyRange& axiom, InternalOntology& onto);

// The concept K of p's value v (Some(Atomic(key of v), p)), or Not(K) when negated.
UnsupportedOr<ConceptId> data_value_assertion_concept(const owl::DataProperty& property, const owl::Literal& value,
                                                      InternalOntology& onto, bool negated);

}  // namespace kelmon
