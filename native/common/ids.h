// Dense 32-bit ids of classes, roles, individuals and pooled concepts. Each is
// its own type so that a class id can never be passed where a role id is
// meant; they compare, order and hash by their number.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace kelmon {

struct ClassId {
  std::uint32_t v = 0;
  friend constexpr auto operator<=>(ClassId, ClassId) = default;
};

struct RoleId {
  std::uint32_t v = 0;
  friend constexpr auto operator<=>(RoleId, RoleId) = default;
};

struct IndividualId {
  std::uint32_t v = 0;
  friend constexpr auto operator<=>(IndividualId, IndividualId) = default;
};

// Index into a ConceptPool; equal ids of one pool mean structurally equal concepts.
struct ConceptId {
  std::uint32_t v = 0;
  friend constexpr auto operator<=>(ConceptId, ConceptId) = default;
};

// "ClassId(7)".
std::string debug_text(ClassId id);
std::string debug_text(RoleId id);
std::string debug_text(IndividualId id);
std::string debug_text(ConceptId id);

// The multi-line form: "ClassId(\n    7,\n)".
std::string debug_text_multiline(ClassId id);
std::string debug_text_multiline(RoleId id);
std::string debug_text_multiline(IndividualId id);
std::string debug_text_multiline(ConceptId id);

std::ostream& operator<<(std::ostream& out, ClassId id);
std::ostream& operator<<(std::ostream& out, RoleId id);
std::ostream& operator<<(std::ostream& out, IndividualId id);
std::ostream& operator<<(std::ostream& out, ConceptId id);

}  // namespace kelmon

template <>
struct std::hash<kelmon::ClassId> {
  std::size_t operator()(kelmon::ClassId id) const noexcept { return std::hash<std::uint32_t>{}(id.v); }
};
template <>
struct std::hash<kelmon::RoleId> {
  std::size_t operator()(kelmon::RoleId id) const noexcept { return std::hash<std::uint32_t>{}(id.v); }
};
template <>
struct std::hash<kelmon::IndividualId> {
  std::size_t operator()(kelmon::IndividualId id) const noexcept { return std::hash<std::uint32_t>{}(id.v); }
};
template <>
struct std::hash<kelmon::ConceptId> {
  std::size_t operator()(kelmon::ConceptId id) const noexcept { return std::hash<std::uint32_t>{}(id.v); }
};
