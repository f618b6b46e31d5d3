// Datatype IRIs the data readers compare against, always as whole strings.
#pragma once

#include <string_view>

namespace kelmon::datatype_iri {

inline constexpr std::string_view xsd = "http://www.w3.org/2001/XMLSchema#";
inline constexpr std::string_view xsd_string = "http://www.w3.org/2001/XMLSchema#string";
inline constexpr std::string_view xsd_integer = "http://www.w3.org/2001/XMLSchema#integer";
inline constexpr std::string_view xsd_decimal = "http://www.w3.org/2001/XMLSchema#decimal";
inline constexpr std::string_view xsd_float = "http://www.w3.org/2001/XMLSchema#float";
inline constexpr std::string_view xsd_double = "http://www.w3.org/2001/XMLSchema#double";
inline constexpr std::string_view xsd_date = "http://www.w3.org/2001/XMLSchema#date";
inline constexpr std::string_view xsd_date_time = "http://www.w3.org/2001/XMLSchema#dateTime";
inline constexpr std::string_view rdf_lang_string = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langString";
inline constexpr std::string_view rdfs_literal = "http://www.w3.org/2000/01/rdf-schema#Literal";

}  // namespace kelmon::datatype_iri
