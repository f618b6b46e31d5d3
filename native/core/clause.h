// DL-clauses for the hypertableau: a body of unary and binary atoms over
// variables (a conjunction) implies a head of atoms (a disjunction). Atoms
// name classes by clause class id, one 32-bit space: the named classes
// 0 … K − 1, the nominal of individual i as K + i, and the translation's fresh
// classes from K + N upward (K classes, N individuals).
#pragma once

#include <cstdint>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/concept.h"
#include "core/ontology.h"

namespace kelmon {

enum class ClauseAtomKind : std::uint32_t {
  ConceptAtom = 0,  // a(b): a = class, b = variable
  RoleAtom = 1,     // role(a, b): a, b = variables
  ExistsAtom = 2,   // ∃role.a(b): a = filler class, b = variable
  AtMostAtom = 3,   // ≤a role.filler(b); flag 1 when qualified by filler
  AtLeastAtom = 4,  // ≥a role.filler(b); flag 1 when qualified by filler
};

// One flat record for every kind, so that engines index atoms without a variant.
struct ClauseAtom {
  std::uint32_t kind = 0;
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  Role role;
  std::uint32_t flag = 0;
  std::uint32_t filler = 0;

  ClauseAtomKind atom_kind() const { return static_cast<ClauseAtomKind>(kind); }
  friend constexpr bool operator==(const ClauseAtom&, const ClauseAtom&) = default;
};

ClauseAtom concept_atom(std::uint32_t cls, std::uint32_t var);
ClauseAtom role_atom(std::uint32_t x, std::uint32_t y, Role role);
ClauseAtom exists_atom(std::uint32_t filler, std::uint32_t var, Role role);
// An absent filler stands for ⊤ (unqualified).
ClauseAtom at_most_atom(std::uint32_t n, std::uint32_t var, Role role, std::optional<std::uint32_t> filler);
ClauseAtom at_least_atom(std::uint32_t n, std::uint32_t var, Role role, std::optional<std::uint32_t> filler);

// "3(0)", "r1-(0,1)", "Er1.3(0)", "<=1 r1.T(0)": for test messages and traces.
std::string clause_atom_text(const ClauseAtom& atom);

// An empty body is ⊤, an empty head is ⊥.
struct DlClause {
  std::vector<ClauseAtom> body;
  std::vector<ClauseAtom> head;
  friend bool operator==(const DlClause&, const DlClause&) = default;
};

// "3(0), r1(0,1) -> 4(1) | 5(0)".
std::string clause_text(const DlClause& clause);

std::ostream& operator<<(std::ostream& out, const ClauseAtom& atom);
std::ostream& operator<<(std::ostream& out, const DlClause& clause);

// What the translation left out, by reason.
struct SkipCounter {
  std::uint64_t total = 0;
  std::map<std::string, std::uint64_t, std::less<>> reasons;

  void record(std::string_view reason);
};

struct DlClauseSet {
  std::vector<DlClause> clauses;  // in the order made
  std::uint64_t total = 0;
  std::uint64_t horn = 0;              // at most one head atom
  std::uint64_t disjunctive = 0;       // two or more head atoms
  std::uint64_t empty_head = 0;        // no head atom
  std::uint64_t existential_head = 0;  // an ExistsAtom in the head
  std::uint64_t skipped = 0;           // axioms or parts left untranslated
};

// Translates the TBox and RBox of the ontology into DL-clauses. The ontology
// is not changed; the translation works on a private copy of its concepts.
// KELMON_CARD_DISJUNCT_ATOMS ("0" or empty: off) decides whether number
// restrictions inside a head union become number atoms.
DlClauseSet clausify(const InternalOntology& ontology);

}  // namespace kelmon
