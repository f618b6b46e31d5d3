// Which kind of value a datatype IRI denotes.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelmon {

enum class DatatypeFamily : std::uint8_t {
  StringLike = 0,
  LangString = 1,
  Numeric = 2,
  Boolean = 3,
  Temporal = 4,
  Binary = 5,
  Other = 6,
};

// Exact, case-sensitive comparison of the full IRI; no prefix expansion or aliases.
DatatypeFamily datatype_family(std::string_view iri);

}  // namespace kelmon
