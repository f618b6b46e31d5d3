// The error of every reasoning operation, and the result type that carries it.
// Timeouts are not errors: they make answers incomplete instead.
#pragma once

#include <expected>
#include <string>
#include <variant>

namespace kelmon {

// Why conversion cannot represent an axiom or class expression.
struct UnsupportedConcept {
  std::string detail;
  bool operator==(const UnsupportedConcept&) const = default;
};
struct UnsupportedAxiom {
  std::string detail;
  bool operator==(const UnsupportedAxiom&) const = default;
};
struct AnonymousIndividual {
  bool operator==(const AnonymousIndividual&) const = default;
};
struct UnsupportedDataRange {
  bool operator==(const UnsupportedDataRange&) const = default;
};
using Unsupported = std::variant<UnsupportedConcept, UnsupportedAxiom, AnonymousIndividual, UnsupportedDataRange>;

struct UnknownClass {
  std::string iri;
  bool operator==(const UnknownClass&) const = default;
};
struct UnknownIndividual {
  std::string iri;
  bool operator==(const UnknownIndividual&) const = default;
};
struct NoVerdict {
  bool operator==(const NoVerdict&) const = default;
};
struct RoleChainTooLong {
  bool operator==(const RoleChainTooLong&) const = default;
};
struct Inconsistent {
  bool operator==(const Inconsistent&) const = default;
};

using ReasonerError = std::variant<Unsupported, UnknownClass, UnknownIndividual, NoVerdict, RoleChainTooLong, Inconsistent>;

template <class T>
using Result = std::expected<T, ReasonerError>;

template <class T>
using UnsupportedOr = std::expected<T, Unsupported>;

// Which Python exception class a ReasonerError raises.
enum class ErrorClass { KelmonError, UnsupportedAxiomError, UnknownClassError };

// The user-facing message and class of an error (the fixed texts live here only).
std::string reasoner_error_message(const ReasonerError& error);
std::string unsupported_message(const Unsupported& error);
ErrorClass reasoner_error_class(const ReasonerError& error);

}  // namespace kelmon
