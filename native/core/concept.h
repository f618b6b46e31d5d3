// Roles and concepts: the reasoner's own form of OWL property and class
// expressions. Concepts refer to sub-concepts by ConceptId only, so every
// Concept is flat and the ConceptPool is the one place they live.
#pragma once

#include <compare>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "common/ids.h"

namespace kelmon {

// A role expression: the inverse flag (0 named, 1 inverse) first, then the id,
// which is also the order: named before inverse, then by id.
struct Role {
  std::uint32_t inverse = 0;
  RoleId id;

  static constexpr Role named(RoleId id) { return Role{0, id}; }
  static constexpr Role inverse_of(RoleId id) { return Role{1, id}; }
  constexpr bool is_named() const { return inverse == 0; }
  friend constexpr auto operator<=>(const Role&, const Role&) = default;
};

// The same id with the flag flipped; the inverse of an inverse is the named role.
constexpr Role inverse_role(Role r) { return Role{r.inverse == 0 ? 1u : 0u, r.id}; }

struct Top {
  friend constexpr bool operator==(const Top&, const Top&) = default;
};
struct Bottom {
  friend constexpr bool operator==(const Bottom&, const Bottom&) = default;
};
struct Atomic {
  ClassId cls;
  friend constexpr bool operator==(const Atomic&, const Atomic&) = default;
};
struct Nominal {
  IndividualId individual;
  friend constexpr bool operator==(const Nominal&, const Nominal&) = default;
};
struct Self {
  Role role;
  friend constexpr bool operator==(const Self&, const Self&) = default;
};
struct Not {
  ConceptId operand;
  friend constexpr bool operator==(const Not&, const Not&) = default;
};
// Made by the builders: at least two members, ascending, duplicate-free, no
// Top, Bottom or nested And. Interned directly, a list is stored as given.
struct And {
  std::vector<ConceptId> members;
  friend bool operator==(const And&, const And&) = default;
};
// The mirror of And: no Top, Bottom or nested Or.
struct Or {
  std::vector<ConceptId> members;
  friend bool operator==(const Or&, const Or&) = default;
};
struct Some {
  ConceptId filler;
  Role role;
  friend constexpr bool operator==(const Some&, const Some&) = default;
};
struct All {
  ConceptId filler;
  Role role;
  friend constexpr bool operator==(const All&, const All&) = default;
};
struct Min {
  std::uint32_t n = 0;
  ConceptId filler;
  Role role;
  friend constexpr bool operator==(const Min&, const Min&) = default;
};
struct Max {
  std::uint32_t n = 0;
  ConceptId filler;
  Role role;
  friend constexpr bool operator==(const Max&, const Max&) = default;
};

// The variant index is the concept's tag, 0 (Top) to 11 (Max).
using Concept = std::variant<Top, Bottom, Atomic, Nominal, Self, Not, And, Or, Some, All, Min, Max>;

enum class ConceptKind : std::uint32_t { Top, Bottom, Atomic, Nominal, Self, Not, And, Or, Some, All, Min, Max };

inline ConceptKind concept_kind(const Concept& c) { return static_cast<ConceptKind>(c.index()); }
inline std::uint32_t concept_tag(const Concept& c) { return static_cast<std::uint32_t>(c.index()); }
std::string_view concept_kind_name(ConceptKind kind);

// Structural equality: same tag, equal payloads, lists element by element.
inline bool concept_eq(const Concept& a, const Concept& b) { return a == b; }
// Tag, then payload fields (lists with their length), with the given seed.
std::uint64_t concept_hash(const Concept& c, std::uint64_t seed);

}  // namespace kelmon
