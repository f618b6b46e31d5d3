// DL-clauses written with the ontology's names, for the clause tests: a named
// class by its name, a nominal as {name}, the k-th fresh class as Xk, a role
// as its name or inv(name); "A(0), r(0,1) -> B(1) | X0(0)", "-> F" for ⊥.
#pragma once

#include <string>
#include <vector>

#include "core/clause.h"
#include "core/ontology.h"

namespace kelmon::testing {

inline std::string clause_class_text(const InternalOntology& ir, std::uint32_t id) {
  const std::uint32_t k = static_cast<std::uint32_t>(ir.vocabulary.classes.size());
  const std::uint32_t n = static_cast<std::uint32_t>(ir.vocabulary.individuals.size());
  if (id < k) return std::string(ir.vocabulary.classes.name(ClassId{id}));
  if (id < k + n) return "{" + std::string(ir.vocabulary.individuals.name(IndividualId{id - k})) + "}";
  return "X" + std::to_string(id - k - n);
}

inline std::string clause_role_text(const InternalOntology& ir, Role r) {
  std::string name(ir.vocabulary.roles.name(r.id));
  return r.is_named() ? name : "inv(" + name + ")";
}

inline std::string atom_text(const InternalOntology& ir, const ClauseAtom& a) {
  const std::string var = "(" + std::to_string(a.b) + ")";
  auto number = [&](const char* op) {
    std::string filler = a.flag != 0 ? clause_class_text(ir, a.filler) : "T";
    return op + std::to_string(a.a) + " " + clause_role_text(ir, a.role) + "." + filler + var;
  };
  switch (a.atom_kind()) {
    case ClauseAtomKind::ConceptAtom: return clause_class_text(ir, a.a) + var;
    case ClauseAtomKind::RoleAtom:
      return clause_role_text(ir, a.role) + "(" + std::to_string(a.a) + "," + std::to_string(a.b) + ")";
    case ClauseAtomKind::ExistsAtom:
      return "some(" + clause_role_text(ir, a.role) + "," + clause_class_text(ir, a.a) + ")" + var;
    case ClauseAtomKind::AtMostAtom: return number("<=");
    case ClauseAtomKind::AtLeastAtom: return number(">=");
  }
  return "?";
}

inline std::string clause_text(const InternalOntology& ir, const DlClause& c) {
  std::string out;
  for (std::size_t i = 0; i < c.body.size(); ++i) out += (i ? ", " : "") + atom_text(ir, c.body[i]);
  out += out.empty() ? "->" : " ->";
  if (c.head.empty()) return out + " F";
  for (std::size_t i = 0; i < c.head.size(); ++i) out += (i ? " | " : " ") + atom_text(ir, c.head[i]);
  return out;
}

inline std::vector<std::string> clause_texts(const InternalOntology& ir, const std::vector<DlClause>& clauses) {
  std::vector<std::string> out;
  for (const DlClause& c : clauses) out.push_back(clause_text(ir, c));
  return out;
}

}  // namespace kelmon::testing
