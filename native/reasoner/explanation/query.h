// The entailment a justification query asks about, parsed from its token list
// (a keyword followed by the names it talks about).
#pragma once

#include <cstdint>
#include <expected>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmon::explain {

// The one error text of a malformed query, whichever service received it.
inline constexpr std::string_view kQueryUsage =
    "usage: justify <file> (subclass S T | equivalent A B | disjoint A B | unsat C | instance I C | "
    "inconsistent | subproperty P Q | equiv-property P Q | disjoint-property P Q | property A P B | "
    "same A B | different A B | subdata-property DP DQ | equiv-data-property DP DQ | "
    "disjoint-data-property DP DQ | data-value A DP V)";

enum class QueryKind : std::uint8_t {
  Subclass,
  Equivalent,
  Disjoint,
  Unsat,
  Instance,
  Inconsistent,
  SubProperty,
  EquivProperty,
  DisjointProperty,
  Property,
  Same,
  Different,
  SubDataProperty,
  EquivDataProperty,
  DisjointDataProperty,
  DataValue,
};

// Names are kept exactly as given: no trimming, no prefix expansion, no check
// that they occur in the ontology. The meaning of `names` follows the kind:
//   Subclass (sub, super); Equivalent, Disjoint (A, B); Unsat (C);
//   Instance (individual, class); Inconsistent (); SubProperty, EquivProperty,
//   DisjointProperty (P, Q); Property (A, P, B); Same, Different (A, B);
//   SubDataProperty, EquivDataProperty, DisjointDataProperty (DP, DQ);
//   DataValue (A, DP, lexical form, datatype IRI).
struct JustifyQuery {
  QueryKind kind = QueryKind::Inconsistent;
  std::vector<std::string> names;

  const std::string& name(std::size_t i) const { return names.at(i); }
  bool operator==(const JustifyQuery&) const = default;
};

// The query of a token list, or kQueryUsage as the error.
std::expected<JustifyQuery, std::string> parse_query(std::span<const std::string> tokens);

// Splits a value token at its first "^^" into (lexical form, datatype IRI);
// without "^^" the datatype is xsd:string. Never fails.
std::pair<std::string, std::string> parse_data_literal(std::string_view token);

}  // namespace kelmon::explain
