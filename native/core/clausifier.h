// The translator of concept inclusions C ⊑ D (concepts in negation normal
// form) into DL-clauses: the subclass side becomes bodies, the superclass side
// heads, and sub-concepts without an atom form are named by fresh classes whose
// defining clauses are appended before the clause that uses them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/clause.h"
#include "core/concept_pool.h"
#include "core/role_hierarchy.h"

namespace kelmon {

// Bodies with more alternatives than this are given up rather than translated.
inline constexpr std::size_t kMaxBodyAlternatives = 64;

// Alternative bodies of one concept: the concept holds when one of them does.
using BodyAlternatives = std::vector<std::vector<ClauseAtom>>;

class Clausifier {
 public:
  // A fresh class is issued from K + N upward (class_count K, individual_count N).
  Clausifier(ConceptPool pool, std::uint32_t class_count, std::uint32_t individual_count);

  ConceptPool pool;
  std::vector<DlClause> clauses;  // in the order made
  InverseRoleMap inverse_map;
  std::vector<bool> dkey_classes;  // by ClassId: the data-value key classes
  SkipCounter skips;
  std::uint32_t next_class = 0;
  std::uint32_t class_count = 0;
  std::uint32_t next_var = 1;
  bool card_disjuncts = true;

  // The role as atoms write it: the second member of an inverse pair stands
  // for the inverse of the first.
  Role canonical_role(Role role) const;
  // Atomic and Nominal give their class; anything else a fresh class X with
  // the clauses X(x) → C(x) appended.
  std::uint32_t name_concept(ConceptId concept_id);
  // Nothing for Top, else name_concept.
  std::optional<std::uint32_t> name_concept_opt(ConceptId concept_id);
  // The bodies under which the concept holds at v; nothing when it has no
  // body form or needs more than kMaxBodyAlternatives alternatives.
  std::optional<BodyAlternatives> body(ConceptId concept_id, std::uint32_t v);
  // Appends the clauses by which body implies the concept at v.
  void head(std::vector<ClauseAtom> body, ConceptId concept_id, std::uint32_t v);
  // Appends the clauses of sub ⊑ sup.
  void gci(ConceptId sub, ConceptId sup);

  std::uint32_t fresh_var();
  std::uint32_t fresh_class();
  bool is_dkey_class(ClassId cls) const { return cls.v < dkey_classes.size() && dkey_classes[cls.v]; }

 private:
  struct HeadTask;
  struct NumberDisjunct {
    bool at_least = false;
    std::uint32_t n = 0;
    ConceptId filler;
    Role role;
  };
  std::optional<NumberDisjunct> number_disjunct(const Concept& c) const;
  void run_head_tasks(std::vector<HeadTask>& tasks);
  // Processes the Or task on top of the stack until it needs a fresh class
  // defined (pushed above it) or its clause is made.
  void step_union(std::vector<HeadTask>& tasks);
  // A fresh class for concept_id, its definition pushed as a task.
  std::uint32_t name_into(ConceptId concept_id, std::vector<HeadTask>& tasks);
  // The class an at-most atom of body counts at v over role for the filler
  // C: a name as it is; for anything else a fresh X that every C must carry,
  // by the clause body ∧ role(v, y) → X(y) ∨ N(y) with N naming ¬C.
  std::uint32_t counted_class(ConceptId filler, const std::vector<ClauseAtom>& body, std::uint32_t v, Role role,
                              std::vector<HeadTask>& tasks);
  std::uint32_t class_of_name(const Concept& c) const;
};

}  // namespace kelmon
