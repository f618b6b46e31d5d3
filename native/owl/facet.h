#pragma once
#include <optional>
#include <string_view>

#include "owl/model.h"

namespace kelmon::owl {

// The facet's IRI (xsd:minInclusive, ..., rdf:langRange).
std::string_view facet_iri(Facet f);
// The facet of an IRI, or nothing for an IRI that names no facet.
std::optional<Facet> facet_from_iri(std::string_view iri);
// The Manchester symbol: length, minLength, maxLength, pattern, >=, >, <=, <,
// totalDigits, fractionDigits, langRange.
std::string_view facet_symbol(Facet f);
std::optional<Facet> facet_from_symbol(std::string_view symbol);

}  // namespace kelmon::owl
