#include "core/clause.h"

#include <ostream>
#include <string>

namespace kelmon {

ClauseAtom concept_atom(std::uint32_t cls, std::uint32_t var) {
  return {static_cast<std::uint32_t>(ClauseAtomKind::ConceptAtom), cls, var, Role{}, 0, 0};
}

ClauseAtom role_atom(std::uint32_t x, std::uint32_t y, Role role) {
  return {static_cast<std::uint32_t>(ClauseAtomKind::RoleAtom), x, y, role, 0, 0};
}

ClauseAtom exists_atom(std::uint32_t filler, std::uint32_t var, Role role) {
  return {static_cast<std::uint32_t>(ClauseAtomKind::ExistsAtom), filler, var, role, 0, 0};
}

ClauseAtom at_most_atom(std::uint32_t n, std::uint32_t var, Role role, std::optional<std::uint32_t> filler) {
  return {static_cast<std::uint32_t>(ClauseAtomKind::AtMostAtom), n, var, role, filler ? 1u : 0u, filler.value_or(0)};
}

ClauseAtom at_least_atom(std::uint32_t n, std::uint32_t var, Role role, std::optional<std::uint32_t> filler) {
  return {static_cast<std::uint32_t>(ClauseAtomKind::AtLeastAtom), n, var, role, filler ? 1u : 0u, filler.value_or(0)};
}

namespace {

std::string role_text(Role r) { return "r" + std::to_string(r.id.v) + (r.is_named() ? "" : "-"); }

std::string atoms_text(const std::vector<ClauseAtom>& atoms, const char* separator) {
  std::string out;
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (i > 0) out += separator;
    out += clause_atom_text(atoms[i]);
  }
  return out;
}

}  // namespace

std::string clause_atom_text(const ClauseAtom& atom) {
  const std::string var = "(" + std::to_string(atom.b) + ")";
  auto filler = [&] { return atom.flag != 0 ? std::to_string(atom.filler) : std::string("T"); };
  switch (atom.atom_kind()) {
    case ClauseAtomKind::ConceptAtom: return std::to_string(atom.a) + var;
    case ClauseAtomKind::RoleAtom:
      return role_text(atom.role) + "(" + std::to_string(atom.a) + "," + std::to_string(atom.b) + ")";
    case ClauseAtomKind::ExistsAtom: return "E" + role_text(atom.role) + "." + std::to_string(atom.a) + var;
    case ClauseAtomKind::AtMostAtom:
      return "<=" + std::to_string(atom.a) + " " + role_text(atom.role) + "." + filler() + var;
    case ClauseAtomKind::AtLeastAtom:
      return ">=" + std::to_string(atom.a) + " " + role_text(atom.role) + "." + filler() + var;
  }
  return "?" + std::to_string(atom.kind) + var;
}

std::string clause_text(const DlClause& clause) {
  return atoms_text(clause.body, ", ") + " -> " + (clause.head.empty() ? "F" : atoms_text(clause.head, " | "));
}

std::ostream& operator<<(std::ostream& out, const ClauseAtom& atom) { return out << clause_atom_text(atom); }
std::ostream& operator<<(std::ostream& out, const DlClause& clause) { return out << clause_text(clause); }

void SkipCounter::record(std::string_view reason) {
  ++total;
  auto it = reasons.find(reason);
  if (it == reasons.end()) it = reasons.emplace(std::string(reason), 0).first;
  ++it->second;
}

}  // namespace kelmon
