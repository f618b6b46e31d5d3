// Small views of the OWL model's data ranges shared by the range readers.
#pragma once

#include <optional>
#include <string_view>
#include <variant>

#include "core/data/datatype_iri.h"
#include "core/data/integer_intervals.h"
#include "owl/model.h"

namespace kelmon::owl_data {

// The node's kind, or nullptr for an empty handle.
template <class Kind>
const Kind* as(const owl::DataRange& range) {
  return range ? std::get_if<Kind>(&range.data()) : nullptr;
}

inline bool is_datatype(const owl::DataRange& range, std::string_view iri) {
  const auto* datatype = as<owl::Datatype>(range);
  return datatype && datatype->iri.str() == iri;
}

// The restriction when it restricts exactly this datatype.
inline const owl::DatatypeRestriction* restriction_of(const owl::DataRange& range, std::string_view iri) {
  const auto* restriction = as<owl::DatatypeRestriction>(range);
  return restriction && restriction->datatype.iri.str() == iri ? restriction : nullptr;
}

// The value space of an xsd: integer datatype named by its full IRI.
inline std::optional<IntInterval> integer_datatype_range(std::string_view iri) {
  if (!iri.starts_with(datatype_iri::xsd)) return std::nullopt;
  return xsd_integer_subtype_range(iri.substr(datatype_iri::xsd.size()));
}

}  // namespace kelmon::owl_data
