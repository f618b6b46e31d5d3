#pragma once
// Resolving a relative IRI reference against a base IRI (RFC 3986, section 5.2), as
// XML documents do with xml:base.
#include <string>
#include <string_view>

namespace kelmon::owl {

// True when the reference starts with a scheme ("http:", "urn:", ...).
bool has_scheme(std::string_view reference);

// The target IRI of `reference` against `base`. A reference with a scheme is returned
// unchanged (IRIs are compared as written, so it is not normalised); so is any
// reference when the base is empty.
std::string resolve_iri(std::string_view base, std::string_view reference);

}  // namespace kelmon::owl
