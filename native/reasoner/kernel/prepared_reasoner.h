// The prepared knowledge base every tableau and hypertableau test of the
// kernel runs against. Built once per operation from a converted ontology
// (which it consumes), then shared read-only by the operation's workers; its
// only mutable parts are atomic counters.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "common/deadline.h"
#include "common/reasoner_error.h"
#include "core/ir.h"
#include "reasoner/kernel/abox_check.h"
#include "reasoner/kernel/asserted_facts.h"
#include "reasoner/kernel/hyper_clause_set.h"
#include "reasoner/kernel/ontology_scans.h"
#include "reasoner/kernel/role_tables.h"
#include "reasoner/kernel/snapshot_capture.h"
#include "saturation/saturation.h"

namespace kelmon::reasoner {

// How shallow iterative-deepening passes fared, over every test on one record.
struct TableauIdStats {
  std::atomic<std::uint64_t> waste_us{0};  // time of shallow passes that did not decide
  std::atomic<std::uint64_t> decided{0};   // tests a shallow pass decided
  std::atomic<std::uint64_t> missed{0};    // tests that still needed the last pass or ran out of time
};

// true: the seeded graph has a model; false: it has none; none: undecided
// (out of time, abandoned early, or stopped at a bound).
using TestAnswer = Result<std::optional<bool>>;

// subject is not related to object by the named role.
struct NegativeRoleAssertion {
  IndividualId subject;
  RoleId role;
  IndividualId object;
};

struct PreparedReasoner {
  PreparedReasoner() = default;
  PreparedReasoner(const PreparedReasoner&) = delete;
  PreparedReasoner& operator=(const PreparedReasoner&) = delete;
  // Prints the id-stats line when KELMON_TABLEAU_ID_STATS is "1".
  ~PreparedReasoner();

  std::optional<sat::ElResult> saturation;
  ConceptPool pool;  // holds Bottom
  Vocabulary vocabulary;
  AbsorbedTbox absorbed;
  // Over roles as written (inverses unfolded), as the tableau and the ABox check read them.
  RoleHierarchy role_hierarchy;
  std::vector<RolePair> inverse_pairs;
  std::vector<RoleChainEntry> role_chains;
  std::vector<RoleId> asymmetric_roles;
  std::vector<DisjointRolePair> disjoint_role_pairs;
  // (concept, its negation normal form complement), ascending by concept.
  std::vector<std::pair<ConceptId, ConceptId>> complement_pairs;
  AboxFacts abox;
  ToldTables told;
  std::vector<Axiom> axioms;  // as converted, without the role-characteristic axioms
  // The hypertableau clause set, built on first use (most single questions
  // never run the hypertableau, and building it is most of the preparation
  // of a large ontology); nullptr when KELMON_HYPERTABLEAU was off at
  // preparation. Safe to call from several workers at once.
  const HyperClauseSet* hyper_set() const;
  // The ontology as converted, kept for that build until it happens.
  mutable std::unique_ptr<InternalOntology> hyper_source;
  mutable std::unique_ptr<HyperClauseSet> hyper;
  mutable std::once_flag hyper_once;
  // Present only when KELMON_SNAPSHOT_CAPTURE is on.
  std::unique_ptr<SnapshotCapture> snapshot;
  // Present only for an ontology with assertions and KELMON_WEDGE_CONSISTENCY on.
  std::optional<WedgeClauseSet> wedge;
  DKeyMap dkeys;
  ClassSet key_card_classes;
  ClassSet complex_card_classes;
  ClassSet bounded_card_classes;
  // Stalled hypertableau runs sent on to the tableau, those of them found
  // subsumed, and the sampling ticket.
  mutable std::array<std::atomic<std::uint64_t>, 3> stall_counters{};
  // Classes whose own logic profile is the plain one, and the others.
  std::array<std::uint64_t, 2> profile_counts{};
  mutable TableauIdStats id_stats;
  AboxClashCell abox_clash_cell;  // empty until abox_clash() first runs
  // Per-class tests may leave the asserted facts out (see abox_touches_tbox).
  bool tbox_only = false;
  // Inverse roles occur: the tableau then blocks on equal labels only.
  bool inverse_roles = false;

  // The first clash among the asserted facts, computed once on first use.
  const std::optional<AboxClash>& abox_clash() const { return abox_clash_cell.get(*this); }

  // Tableau tests on this record's own facts (tableau_test.cpp).
  // Consistency with the extra facts.
  TestAnswer tableau_test(std::span<const std::pair<IndividualId, IndividualId>> different,
                          std::span<const NegativeRoleAssertion> negative, Deadline deadline) const;
  // true when A ⊓ B is unsatisfiable, false when satisfiable, none when undecided.
  TestAnswer classes_disjoint(ClassId a, ClassId b, Deadline deadline) const;
  // true when {a} ⊓ {b} is unsatisfiable: the individuals cannot be the same.
  TestAnswer individuals_different(IndividualId a, IndividualId b, Deadline deadline) const;
};

// Built, or aborted because the deadline passed at a checkpoint (nothing kept).
struct PrepareOutcome {
  std::unique_ptr<PreparedReasoner> reasoner;
  bool aborted() const { return reasoner == nullptr; }
};

// When the hypertableau clause set is built: now, inside the deadline's
// checkpoints (classification, which needs it at once), or on first use.
enum class HyperBuild : std::uint8_t { Now, OnFirstUse };

// The error side is admitted for callers to pass on; the build never produces it.
Result<PrepareOutcome> from_internal_with_deadline(InternalOntology ir, Deadline deadline,
                                                   std::optional<sat::ElResult> saturation,
                                                   HyperBuild hyper_build = HyperBuild::Now);

// For callers without a deadline, for whom an abort is a broken invariant; the
// hypertableau clause set waits for its first use.
Result<std::unique_ptr<PreparedReasoner>> prepare_without_deadline(InternalOntology ir,
                                                                   std::optional<sat::ElResult> saturation);

}  // namespace kelmon::reasoner
