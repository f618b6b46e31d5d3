#include "core/data/datatype_family.h"

#include <array>
#include <utility>

#include "core/data/datatype_iri.h"

namespace kelmon {
namespace {

using Entry = std::pair<std::string_view, DatatypeFamily>;
constexpr auto S = DatatypeFamily::StringLike;
constexpr auto N = DatatypeFamily::Numeric;
constexpr auto T = DatatypeFamily::Temporal;

constexpr std::array<Entry, 36> xsd_local_names{{
    {"string", S}, {"normalizedString", S}, {"token", S}, {"language", S}, {"Name", S}, {"NCName", S},
    {"NMTOKEN", S},
    {"decimal", N}, {"integer", N}, {"long", N}, {"int", N}, {"short", N}, {"byte", N},
    {"nonNegativeInteger", N}, {"positiveInteger", N}, {"nonPositiveInteger", N}, {"negativeInteger", N},
    {"unsignedLong", N}, {"unsignedInt", N}, {"unsignedShort", N}, {"unsignedByte", N}, {"float", N},
    {"double", N},
    {"boolean", DatatypeFamily::Boolean},
    {"date", T}, {"time", T}, {"dateTime", T}, {"dateTimeStamp", T}, {"duration", T}, {"gYear", T},
    {"gYearMonth", T}, {"gMonth", T}, {"gMonthDay", T}, {"gDay", T},
    {"hexBinary", DatatypeFamily::Binary}, {"base64Binary", DatatypeFamily::Binary},
}};

}  // namespace

DatatypeFamily datatype_family(std::string_view iri) {
  if (iri == datatype_iri::rdf_lang_string) return DatatypeFamily::LangString;
  if (!iri.starts_with(datatype_iri::xsd)) return DatatypeFamily::Other;
  const std::string_view local = iri.substr(datatype_iri::xsd.size());
  for (const auto& [name, family] : xsd_local_names)
    if (name == local) return family;
  return DatatypeFamily::Other;
}

}  // namespace kelmon
