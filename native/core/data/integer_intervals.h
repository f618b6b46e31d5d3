// Integer datatypes as intervals, and unions of integer intervals in normal form.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "core/data/intervals.h"

namespace kelmon {

// The value space of xsd:<local_name> for the integer datatypes that fit the
// signed 64-bit range (xsd:unsignedLong does not, and gives none).
std::optional<IntInterval> xsd_integer_subtype_range(std::string_view local_name);

// The same union as disjoint, non-touching intervals in ascending order, or
// none when the union is empty.
std::optional<std::vector<IntInterval>> normalize_int_intervals(std::vector<IntInterval> intervals);

}  // namespace kelmon
