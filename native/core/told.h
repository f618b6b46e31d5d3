// Told tables: the class relations an ontology states outright between named
// classes (inclusions closed over chains and equivalences, and disjointness),
// computed without reasoning.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include <tsl/robin_set.h>

#include "common/ids.h"
#include "core/ontology.h"
#include "core/row_table.h"

namespace kelmon {

struct ToldTables {
  // Per class, ascending: every class reachable over told edges, itself included.
  RowTable<ClassId> supers{"ToldTables: class id out of range"};
  // Per class, ascending: every class whose supers row holds it, itself included.
  RowTable<ClassId> subs{"ToldTables: class id out of range"};
  // Per class, ascending: the classes told disjoint from it (may hold itself).
  RowTable<ClassId> disjoint{"ToldTables: class id out of range"};

  static ToldTables build(const InternalOntology& ontology);
  // b is in disjoint[a]; a outside the table is an invariant failure.
  bool are_disjoint(ClassId a, ClassId b) const { return disjoint.contains(a, b); }
  std::size_t class_count() const { return supers.size(); }
};

// Per class, the other member of the first two-member EquivalentClasses axiom
// whose only Atomic member is the class.
struct Definitions {
  std::vector<std::optional<ConceptId>> entries;

  const std::optional<ConceptId>& operator[](ClassId c) const {
    invariant(c.v < entries.size(), "Definitions: class id out of range");
    return entries[c.v];
  }
  std::size_t size() const { return entries.size(); }
};

Definitions build_definitions(const InternalOntology& ontology);

// Class signatures: the named classes an axiom or concept mentions.
// Appends the axiom's classes to out, then sorts all of out and removes duplicates.
void axiom_class_signature(const Axiom& axiom, const ConceptPool& pool, std::vector<ClassId>& out);
// The sorted, duplicate-free classes of one axiom.
std::vector<ClassId> axiom_class_signature(const Axiom& axiom, const ConceptPool& pool);
// Appends the classes of one concept (each node visited once); out is not sorted.
void concept_class_signature(ConceptId id, const ConceptPool& pool, std::vector<ClassId>& out);

// Visited concepts of one signature walk.
class ConceptVisitedSet {
 public:
  // True when the id was not yet in the set.
  bool insert(ConceptId id) { return ids_.insert(id.v).second; }
  bool contains(ConceptId id) const { return ids_.contains(id.v); }

 private:
  tsl::robin_set<std::uint32_t> ids_;
};
// The walk with a shared visited set: concepts already visited are skipped.
void concept_class_walk(ConceptId id, const ConceptPool& pool, ConceptVisitedSet& visited, std::vector<ClassId>& out);

}  // namespace kelmon
