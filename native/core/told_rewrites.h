// Rewrites of unions that use told information only: split unions on the left
// of inclusions, add inclusions into the most specific told common subsumers
// of atomic unions, and resolve unions whose disjuncts are told disjoint.
#pragma once

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "core/ontology.h"
#include "core/told.h"

namespace kelmon {

// SubClassOf(Or(m1..mk), D) becomes SubClassOf(mi, D) for each member, in place.
void split_union_antecedents(InternalOntology& ontology);

// Appends inclusions into minimal told common subsumers of atomic unions.
// Returns the told tables it built when it appended nothing.
std::optional<ToldTables> add_union_common_subsumers(InternalOntology& ontology);

// Appends A ⊑ Bottom or A ⊑ Bi for SubClassOf(A, B1 ⊔ ... ⊔ Bn) over atomic
// classes when no disjunct, or exactly one, is not told disjoint from A.
// Given tables must describe the current axiom list; otherwise they are built.
void prune_told_disjoint_unions(InternalOntology& ontology, std::optional<ToldTables> tables = std::nullopt);

// The minimal classes told above every member of an atomic union, ascending;
// empty when U is not an Or of at least two Atomic members or nothing qualifies.
std::vector<ClassId> told_common_subsumers(const ConceptPool& pool, ConceptId union_id, const ToldTables& tables);

// Drops every candidate that has another candidate strictly below it; told-
// equivalent candidates are kept together. Keeps the input order.
std::vector<ClassId> minimal_told_filter(std::span<const ClassId> candidates, const ToldTables& tables);

// The disjuncts (concept, its class) not told disjoint from a or any told superclass of a, in order.
std::vector<ConceptId> told_disjoint_survivors(std::span<const std::pair<ConceptId, ClassId>> disjuncts, ClassId a,
                                               const ToldTables& tables);

}  // namespace kelmon
