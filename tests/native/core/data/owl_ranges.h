// Builders of OWL data ranges and literals for the reader tests.
#pragma once

#include <string>
#include <vector>

#include "owl/model.h"

namespace kelmon::test {

inline const std::string xsd = "http://www.w3.org/2001/XMLSchema#";

inline owl::Datatype datatype(const std::string& iri) { return owl::Datatype{owl::Iri(iri)}; }
inline owl::Datatype xsd_type(const std::string& local) { return datatype(xsd + local); }
inline owl::DataRange xsd_range(const std::string& local) { return xsd_type(local); }

inline owl::Literal typed(const std::string& lexical, const std::string& xsd_local) {
  return owl::Literal::typed(lexical, xsd_type(xsd_local));
}
inline owl::Literal plain(const std::string& lexical) { return owl::Literal::plain(lexical); }
inline owl::Literal tagged(const std::string& lexical, const std::string& tag) {
  return owl::Literal::language_tagged(lexical, tag);
}

inline owl::FacetRestriction facet(owl::Facet f, owl::Literal value) { return {f, std::move(value)}; }
inline owl::DataRange restricted(const std::string& xsd_local, std::vector<owl::FacetRestriction> facets) {
  return owl::DatatypeRestriction{xsd_type(xsd_local), std::move(facets)};
}
inline owl::DataRange one_of(std::vector<owl::Literal> literals) { return owl::DataOneOf{std::move(literals)}; }
inline owl::DataRange union_of(std::vector<owl::DataRange> operands) { return owl::DataUnionOf{std::move(operands)}; }
inline owl::DataRange intersection_of(std::vector<owl::DataRange> operands) {
  return owl::DataIntersectionOf{std::move(operands)};
}

using owl::Facet;

}  // namespace kelmon::test
