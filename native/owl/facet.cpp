#include "owl/facet.h"

#include <array>

namespace kelmon::owl {

namespace {
struct FacetNames {
  std::string_view iri;
  std::string_view symbol;
};
constexpr std::array<FacetNames, 11> kFacets{{
    {"http://www.w3.org/2001/XMLSchema#length", "length"},
    {"http://www.w3.org/2001/XMLSchema#minLength", "minLength"},
    {"http://www.w3.org/2001/XMLSchema#maxLength", "maxLength"},
    {"http://www.w3.org/2001/XMLSchema#pattern", "pattern"},
    {"http://www.w3.org/2001/XMLSchema#minInclusive", ">="},
    {"http://www.w3.org/2001/XMLSchema#minExclusive", ">"},
    {"http://www.w3.org/2001/XMLSchema#maxInclusive", "<="},
    {"http://www.w3.org/2001/XMLSchema#maxExclusive", "<"},
    {"http://www.w3.org/2001/XMLSchema#totalDigits", "totalDigits"},
    {"http://www.w3.org/2001/XMLSchema#fractionDigits", "fractionDigits"},
    {"http://www.w3.org/1999/02/22-rdf-syntax-ns#langRange", "langRange"},
}};
}  // namespace

std::string_view facet_iri(Facet f) { return kFacets[static_cast<size_t>(f)].iri; }
std::string_view facet_symbol(Facet f) { return kFacets[static_cast<size_t>(f)].symbol; }

std::optional<Facet> facet_from_iri(std::string_view iri) {
  for (size_t i = 0; i < kFacets.size(); ++i)
    if (kFacets[i].iri == iri) return static_cast<Facet>(i);
  return std::nullopt;
}
std::optional<Facet> facet_from_symbol(std::string_view symbol) {
  for (size_t i = 0; i < kFacets.size(); ++i)
    if (kFacets[i].symbol == symbol) return static_cast<Facet>(i);
  return std::nullopt;
}

}  // namespace kelmon::owl
