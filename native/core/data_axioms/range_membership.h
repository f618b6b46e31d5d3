// Provable membership and containment for OWL data ranges. Each test answers
// true only when it can show the fact; false also means "not known".
#pragma once

#include "core/data_axioms/asserted_value.h"
#include "owl/model.h"

namespace kelmon {

// The value lies in the range: xsd:double and its facet restrictions for
// doubles; integer ranges (only for integral values) or else decimal ranges for
// decimals; date and dateTime ranges; xsd:string and string enumerations for text.
bool value_lies_in_range(const LiteralValue& value, const owl::DataRange& range);

// Every value of `inner` lies in `outer`: outer is rdfs:Literal, the two are
// structurally equal, both are integer ranges or both string ranges and inner's
// values lie within outer's.
bool data_range_within(const owl::DataRange& inner, const owl::DataRange& outer);

// The literal's value lies in the range (every literal lies in rdfs:Literal).
bool literal_lies_in_range(const owl::Literal& literal, const owl::DataRange& range);

}  // namespace kelmon
