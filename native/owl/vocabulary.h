#pragma once
// Well-known IRIs of the OWL 2, RDF, RDFS and XSD vocabularies.
#include <string_view>

namespace kelmon::owl::vocab {

inline constexpr std::string_view kOwl = "http://www.w3.org/2002/07/owl#";
inline constexpr std::string_view kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
inline constexpr std::string_view kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
inline constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema#";

inline constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
inline constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
inline constexpr std::string_view kOwlTopObjectProperty = "http://www.w3.org/2002/07/owl#topObjectProperty";
inline constexpr std::string_view kOwlBottomObjectProperty = "http://www.w3.org/2002/07/owl#bottomObjectProperty";
inline constexpr std::string_view kOwlTopDataProperty = "http://www.w3.org/2002/07/owl#topDataProperty";
inline constexpr std::string_view kOwlBottomDataProperty = "http://www.w3.org/2002/07/owl#bottomDataProperty";
inline constexpr std::string_view kRdfsLiteral = "http://www.w3.org/2000/01/rdf-schema#Literal";
inline constexpr std::string_view kXsdString = "http://www.w3.org/2001/XMLSchema#string";
inline constexpr std::string_view kXsdInteger = "http://www.w3.org/2001/XMLSchema#integer";
inline constexpr std::string_view kXsdDecimal = "http://www.w3.org/2001/XMLSchema#decimal";
inline constexpr std::string_view kXsdFloat = "http://www.w3.org/2001/XMLSchema#float";
inline constexpr std::string_view kRdfLangRange = "http://www.w3.org/1999/02/22-rdf-syntax-ns#langRange";

}  // namespace kelmon::owl::vocab
