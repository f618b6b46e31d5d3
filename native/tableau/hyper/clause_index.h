// Trigger indexes over DL-clauses and compiled clause bodies: which clauses a
// new label or edge can make fire, and a plan that binds a body's variables
// by walking its role atoms outwards from the centre variable.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <tsl/robin_set.h>

#include "core/clause.h"
#include "core/role_hierarchy.h"
#include "tableau/hyper/small_list.h"

namespace kelmon {

struct BodyRoleAtom {
  std::uint32_t dir = 0;  // the atom's inverse flag
  std::uint32_t role = 0;
  std::uint32_t x = 0;
  std::uint32_t y = 0;
};

struct BodyConcept {
  std::uint32_t cls = 0;
  std::uint32_t var = 0;
};

struct CompiledBody {
  SmallList<std::uint32_t, 4> centre_concepts;
  SmallList<BodyRoleAtom, 4> role_atoms;
  SmallList<BodyConcept, 4> other_concepts;
  SmallList<std::uint32_t, 8> binding_order;  // indices into role_atoms
  SmallList<std::uint32_t, 2> checks;         // indices into role_atoms
};

struct BodyRefusal {
  enum class Kind : std::uint8_t { VarCap, Disconnected };
  Kind kind = Kind::Disconnected;
  std::uint32_t vars = 0;
  std::uint32_t cap = 0;
  friend bool operator==(const BodyRefusal&, const BodyRefusal&) = default;
};

// Either a plan, or why not: a refusal, or neither for a body holding atoms
// that are not concept or role atoms.
struct BodyCompilation {
  std::optional<CompiledBody> body;
  std::optional<BodyRefusal> refusal;
};

BodyCompilation compile_body(std::span<const ClauseAtom> atoms);
// The cap on bound variables, the centre included: 16 with KELMON_WIDE_BODY_VARS=1, else 8.
std::uint32_t body_var_cap();

// Pairs of classes a clause A(x) ∧ B(x) → ⊥ forbids together, (low, high).
class DisjointPairs {
 public:
  void insert(std::uint32_t a, std::uint32_t b);
  bool contains(std::uint32_t a, std::uint32_t b) const;
  bool empty() const { return set_.empty(); }
  std::size_t size() const { return set_.size(); }

 private:
  static std::uint64_t key(std::uint32_t a, std::uint32_t b);
  tsl::robin_set<std::uint64_t> set_;
};

DisjointPairs collect_disjoint_pairs(std::span<const DlClause> clauses);

// Clause ids under 64-bit keys; dense (one list per key) for the shared base
// index, an entry list scanned linearly for a small per-engine index.
class TriggerLists {
 public:
  explicit TriggerLists(bool dense) : dense_(dense) {}
  std::span<const std::uint64_t> get(std::uint64_t key) const;
  void add(std::uint64_t key, std::uint64_t id);
  bool any(std::uint64_t key) const { return !get(key).empty(); }

 private:
  bool dense_;
  std::vector<std::vector<std::uint64_t>> by_key_;
  std::vector<std::pair<std::uint64_t, std::vector<std::uint64_t>>> entries_;
};

struct DisjunctiveRecord {
  std::uint64_t clause = 0;
  std::uint32_t has_centre_concept = 0;
  std::uint32_t centre_concept = 0;
};

struct ClauseIndexes {
  explicit ClauseIndexes(bool dense = true)
      : centre_concept_triggers(dense),
        other_concept_triggers(dense),
        role_triggers(dense),
        role_triggers_off_centre(dense),
        role_triggers_centre_reverse(dense),
        role_triggers_centre_plain(dense),
        transitive_roles(dense) {}

  // Clauses are added in id order from 0, so entry i of `compiled` is clause i.
  void add_clause(std::uint64_t id, const DlClause& clause, const RoleHierarchy* hierarchy);
  // An index over `clauses` with ids first, first + 1, …, and their disjoint pairs.
  static std::pair<ClauseIndexes, std::vector<std::pair<std::uint32_t, std::uint32_t>>> build(
      std::uint64_t first, std::span<const DlClause> clauses, const RoleHierarchy* hierarchy);

  bool has_empty_body() const { return !empty_body.empty(); }

  std::vector<BodyCompilation> compiled;
  TriggerLists centre_concept_triggers;
  TriggerLists other_concept_triggers;
  TriggerLists role_triggers;
  TriggerLists role_triggers_off_centre;
  TriggerLists role_triggers_centre_reverse;
  TriggerLists role_triggers_centre_plain;
  // Transitivity clauses R(x,y) ∧ R(y,z) → R(x,z) are not fired through the
  // triggers (each firing would walk every two-edge path at its centre, and
  // the closure grows quadratically): the engine closes the paths through
  // each new edge instead. Keyed by every sub-role of R, the values are R.
  TriggerLists transitive_roles;
  std::vector<std::uint64_t> empty_body;
  std::vector<DisjunctiveRecord> disjunctive;
};

// The base index of a clause set, added clause by clause.
std::shared_ptr<const ClauseIndexes> build_base_index(std::span<const DlClause> clauses,
                                                      const RoleHierarchy* hierarchy);

}  // namespace kelmon
