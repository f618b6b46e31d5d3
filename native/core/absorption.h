// TBox absorption for the completion-graph tableau. Every class axiom is read
// as the global constraint ⊤ ⊑ ¬C ⊔ D; where that union holds a negated class
// or nominal it becomes a rule fired only on nodes carrying that name, value
// restrictions become edge rules, and only the rest stays global.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include <tsl/robin_map.h>

#include "common/ids.h"
#include "common/seeded_hash.h"
#include "core/axiom.h"
#include "core/concept.h"
#include "core/concept_pool.h"

namespace kelmon {

// A universal record: kind 1 reads key ⊑ ∀role.filler, kind 0 reads
// ⊤ ⊑ ∀role.filler (the key is then 0 and never read).
struct RoleRule {
  static constexpr std::uint32_t kUnguarded = 0;
  static constexpr std::uint32_t kGuarded = 1;

  Role role;
  std::uint32_t kind = kUnguarded;
  ClassId key;
  ConceptId filler;

  static RoleRule guarded(Role role, ClassId guard, ConceptId filler) { return {role, kGuarded, guard, filler}; }
  static RoleRule unguarded(Role role, ConceptId filler) { return {role, kUnguarded, ClassId{0}, filler}; }
  std::optional<ClassId> guard() const { return kind == kGuarded ? std::optional<ClassId>(key) : std::nullopt; }
  friend constexpr bool operator==(const RoleRule&, const RoleRule&) = default;
};

// A ⊑ consequence, fired on nodes labelled Atomic(A).
struct UnfoldPair {
  ClassId cls;
  ConceptId consequence;
  friend constexpr bool operator==(const UnfoldPair&, const UnfoldPair&) = default;
};

// {o} ⊑ consequence, fired on nodes labelled Nominal(o).
struct NominalPair {
  IndividualId individual;
  ConceptId consequence;
  friend constexpr bool operator==(const NominalPair&, const NominalPair&) = default;
};

// Ids hashed with a per-table seed, so no input can line keys up against the table.
struct SeededIdHash {
  std::uint64_t seed = fresh_hash_seed();
  template <class Id>
  std::size_t operator()(Id id) const {
    return static_cast<std::size_t>(hash_finish(hash_step(seed, id.v)));
  }
};

template <class Id, class Value>
using SeededIdMap = tsl::robin_map<Id, Value, SeededIdHash>;

// The TBox after absorption; built once per prepared knowledge base, then
// only read. The lists keep the order in which absorption made their entries
// and may hold duplicates; the maps group them by key in that same order.
struct AbsorbedTbox {
  std::vector<UnfoldPair> unfold_pairs;
  std::vector<NominalPair> nominal_pairs;
  std::vector<RoleRule> all_records;
  std::vector<ConceptId> global_concepts;
  // The Or entries of global_concepts, ascending, for binary search.
  std::vector<ConceptId> global_disjunctions;
  // The kind-0 records of all_records, in their order.
  std::vector<RoleRule> global_all_records;
  SeededIdMap<ClassId, std::vector<ConceptId>> unfold_index;
  SeededIdMap<IndividualId, std::vector<ConceptId>> nominal_index;
  // The kind-1 records of all_records, by key class, in their order.
  SeededIdMap<ClassId, std::vector<RoleRule>> all_index;

  // Rebuilds global_all_records and the three maps from the lists.
  void finish();

  // Calls f on every consequent of cls, through the index when it has
  // entries (a TBox that finish() never saw has only the list).
  template <class F>
  void for_each_consequent(ClassId cls, F&& f) const {
    if (!unfold_index.empty()) {
      if (auto it = unfold_index.find(cls); it != unfold_index.end())
        for (ConceptId c : it->second) f(c);
      return;
    }
    for (const UnfoldPair& pair : unfold_pairs)
      if (pair.cls == cls) f(pair.consequence);
  }
};

// Absorbs the class axioms of the list (the kernel passes the negation normal
// form copy); the pool gains the concepts absorption builds.
AbsorbedTbox absorb_tbox(const std::vector<Axiom>& axioms, ConceptPool& pool);

// Absorbs the one GCI sub ⊑ sup into the lists of tbox (no maps are touched).
void absorb_gci(ConceptId sub, ConceptId sup, ConceptPool& pool, AbsorbedTbox& tbox);

// The second stage, once all axioms are in: value restrictions become records,
// global GCIs over ¬∃r.⊤ and ¬∃r.{o} become records and nominal rules
// (KELMON_DOMAIN_ABSORPTION, KELMON_NOMINAL_EXISTS_ABSORPTION, on unless "0"),
// then global_disjunctions is filled and finish() runs.
void absorb_domains_and_nominals(AbsorbedTbox& tbox, ConceptPool& pool);

}  // namespace kelmon
