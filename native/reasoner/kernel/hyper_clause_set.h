// The DL-clause inputs of the hypertableau, built once per request from a
// private copy of the ontology and then shared read-only by every engine:
// HyperClauseSet for class tests (a probe root forced into classes) and
// WedgeClauseSet for the whole-knowledge-base engine over the asserted
// individuals. Only the three shallow counters change after the build.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "core/clause.h"
#include "core/ir.h"
#include "core/role_hierarchy.h"
#include "reasoner/kernel/model_key_check.h"
#include "saturation/saturation.h"
#include "tableau/hyper/hyper.h"

namespace kelmon::reasoner {

// A told definition C ≡ A1 ⊓ … ⊓ ∃R1.B1 ⊓ … with atomic conjuncts and
// atomic existential fillers, at least one existential.
struct DefinitionEntry {
  std::uint32_t cls = 0;
  std::vector<std::uint32_t> conjuncts;
  std::vector<std::pair<Role, std::uint32_t>> existentials;
};

struct HyperClauseSet {
  HyperClauseSet() = default;
  HyperClauseSet(const HyperClauseSet&) = delete;
  HyperClauseSet& operator=(const HyperClauseSet&) = delete;
  // Prints the id-stats line when KELMON_ID_STATS is "1".
  ~HyperClauseSet();

  std::vector<DlClause> clauses;
  std::shared_ptr<const RoleHierarchy> role_hierarchy;
  std::vector<DefinitionEntry> definition_entries;
  tsl::robin_map<std::uint32_t, std::vector<std::uint32_t>> entries_by_conjunct;
  // Per class: strict class subsumers and existential links found by saturation.
  std::optional<std::vector<std::vector<std::uint32_t>>> seed_subsumers;
  std::optional<std::vector<std::vector<std::pair<Role, std::uint32_t>>>> seed_links;
  // Value-type disjoint pairs when they are not among the clauses.
  std::optional<std::vector<std::pair<std::uint32_t, std::uint32_t>>> loose_disjoint_pairs;
  // Defined class -> head atoms whose disjunction is the negation of its definition.
  tsl::robin_map<std::uint32_t, std::vector<ClauseAtom>> negated_definitions;
  std::shared_ptr<const ClauseIndexes> indexes;  // `clauses`, then the reserved probe trigger
  std::shared_ptr<const DisjointPairs> disjoint_pairs;
  mutable std::atomic<std::uint64_t> shallow_waste_us{0};
  mutable std::atomic<std::uint64_t> shallow_decided{0};
  mutable std::atomic<std::uint64_t> shallow_missed{0};
  std::shared_ptr<const sat::LookaheadEngine> lookahead;
  // (A << 32) | B for classes told to be complements, both orders.
  std::optional<tsl::robin_set<std::uint64_t>> tautology_pairs;
  std::uint32_t probe_id = 0;
  // The nominal {a} of each individual a: one element, so engines merge the nodes that hold it.
  NominalRange nominals;
  bool amortized = false;
  bool hierarchy_in_index = false;
  // A model of these clauses is a model of the ontology: nothing was left
  // out of the translation, no number restriction over data-value keys,
  // nominal nodes are merged (engines carry `nominals`), and the role
  // hierarchy travels with every engine (or has nothing to say). Closed runs
  // are sound either way.
  bool sat_exact = false;
  // Set when a model must also give its data-value nodes values (see
  // model_trusted).
  std::shared_ptr<const ModelKeyCheck> key_check;
};

struct WedgeClauseSet {
  std::vector<DlClause> clauses;
  AboxSeed abox;
  std::shared_ptr<const RoleHierarchy> role_hierarchy;
  std::shared_ptr<const sat::LookaheadEngine> lookahead;
  std::uint32_t class_count = 0;
  std::uint32_t individual_count = 0;
  // A model of these clauses and the seed is a model of the knowledge base:
  // nothing was left out of the translation and no number restriction has a
  // data-value key filler.
  bool exact = false;
  std::shared_ptr<const ModelKeyCheck> key_check;
};

// A model the engine found over the set's clauses is a model of the ontology:
// the set is exact and the model's data-value nodes have values.
bool model_trusted(const HyperClauseSet& set, const HyperEngine& engine);
bool model_trusted(const WedgeClauseSet& set, const HyperEngine& engine);

std::unique_ptr<HyperClauseSet> build_hyper_clause_set(InternalOntology copy);
WedgeClauseSet build_wedge_clause_set(const InternalOntology& ir);

// Fresh ids handed out by the clause-set builders, and the complement class
// Ā of each class A already given one.
struct FreshIds {
  std::uint32_t next = 0;
  tsl::robin_map<std::uint32_t, std::uint32_t> complements;
};

// Ā for class A: the id given before, or a fresh one with A(x) ∧ Ā(x) → ⊥ appended.
std::uint32_t complement_id(std::uint32_t a, FreshIds& fresh, std::vector<DlClause>& clauses);

// For each defined class whose negated definition translates disjunct by
// disjunct, the head atoms of that disjunction (roles folded as the
// translation folds them; no number atom over a data-value key class);
// appends helper clauses.
tsl::robin_map<std::uint32_t, std::vector<ClauseAtom>> clause_atoms_from_concepts(
    std::uint32_t class_count, const Definitions& definitions, ConceptPool& pool, const InverseRoleMap& inverses,
    const std::vector<bool>& dkey_classes, FreshIds& fresh, std::vector<DlClause>& clauses);

// {a}(x) ∧ {b}(x) → ⊥ for every pair of different individuals of each DifferentIndividuals list.
void add_different_individual_clauses(const std::vector<Axiom>& axioms, std::uint32_t class_count,
                                      std::vector<DlClause>& clauses);

}  // namespace kelmon::reasoner
