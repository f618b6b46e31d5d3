// The single-threaded completion engine: per-id indexes over the rule base,
// the three work queues, and the operations through which rules add facts.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "saturation/internal/fifo.h"
#include "saturation/internal/hash.h"
#include "saturation/internal/overlay.h"
#include "saturation/proof_store.h"
#include "saturation/internal/rule_base.h"
#include "saturation/internal/synthetic_ids.h"
#include "saturation/saturation.h"

namespace kelmon::sat {

struct ElLinkHash {
  std::size_t operator()(const ElLink& l) const noexcept {
    return hash_finish(hash_step((u64{l.source} << 32) | l.role, l.target));
  }
};

// The case analysis of one union rule A ⊑ B1 ⊔ … ⊔ Bn: Bi is refuted once the
// conjunction id of {A, Bi} (its refuter) is unsatisfiable.
struct DisjunctionWatch {
  std::vector<u32> alternatives;
  std::vector<u32> refuters;
  u32 owner = 0;
  bool done = false;
};

class ElEngine {
 public:
  ElEngine(u64 class_count, u64 concept_count, RuleBase rules, SyntheticIds ids,
           std::vector<std::vector<u32>> super_roles, bool proof_enabled, std::unique_ptr<ProofStore> proof);

  // A copy of a finished engine for one probe: the subsumer tables, links and
  // per-id lists are layers over this engine's (which must outlive the copy
  // and not change meanwhile); the rule base and the smaller maps are copied.
  ElEngine fork() const;

  void seed();
  // Processes the queues to a fixpoint, then sets the two flags.
  void run();
  // Processes one queued item (pairs first, then links, then bottoms); false when all are empty.
  bool step();
  void finish_flags();

  void enqueue_pair(u32 x, u32 y);
  void enqueue_if_absent(u32 x, u32 y);
  // x ⊑ y found for x alone, by a step no subsumee of x would repeat: y
  // becomes a told subsumer of x, so current and later subsumees get it too.
  void enqueue_for_subsumees(u32 x, u32 y);
  bool add_link(ElLink link, std::optional<Fact> reason, bool copy = false);
  std::vector<u32> conjunct_set(u32 id) const;
  u32 add_conjunction(std::vector<u32> conjuncts);

  void process_pair(u32 x, u32 y);
  void process_link(u64 index);
  void process_bottom(u32 a);
  void apply_forall_nominals(u32 x, u32 role, u32 individual);

  ElResult result;
  SubsumerTable subsumees;
  AppendLog<ElLink> links;
  // Per link index: 1 when the link is a subsumee's copy of another id's link.
  AppendLog<std::uint8_t> link_is_copy;
  GrowingSet<ElLink, ElLinkHash> link_set;
  IdLists<u64> links_by_source;
  IdLists<u64> links_by_target;
  Fifo<std::pair<u32, u32>> pair_queue;
  Fifo<u64> link_queue;
  Fifo<u32> bottom_queue;
  RuleBase rules;
  std::vector<std::vector<u32>> super_roles;
  IdLists<u32> conj_index;
  IdLists<u32> bottom_conj_index;
  IdLists<u32> exists_left_index;
  IdLists<u32> disjoint_partners;
  // Per id, the ids it is told to lie below: the pairs of `rules.told` and
  // those of `enqueue_for_subsumees`.
  IdLists<u32> told_supers;
  SyntheticIds ids;
  IdMap<PairKey, std::vector<u32>> functional_targets;  // sorted sets
  IdMap<u32, std::vector<u32>> conjuncts_of;            // sorted sets
  std::vector<DisjunctionWatch> watches;
  IdMap<u32, u32> watch_of;
  std::unique_ptr<ProofStore> proof;
  u64 class_count;
  u64 concept_count;
  bool dedup;
  bool proof_enabled;

 private:
  struct ForkTag {};
  ElEngine(ForkTag, const ElEngine& base);

  bool proving() const { return proof_enabled && proof != nullptr; }
  // q is r or one of its super-roles. Inline: rules ask it for every link
  // and ∃-left rule they look at.
  bool role_below(u32 r, u32 q) const {
    if (r >= super_roles.size()) return r == q;
    if (role_matrix_) return q < super_roles.size() && (((*role_matrix_)[r * role_words_ + q / 64] >> (q % 64)) & 1u) != 0;
    const auto& list = super_roles[r];
    return std::binary_search(list.begin(), list.end(), q);
  }
  void mark(u32 id);
  void queue_proved(u32 x, u32 y, ProofRule rule, std::vector<Fact> premises, std::vector<u32> axioms);
  void mark_proved(u32 id, ProofRule rule, std::vector<Fact> premises);
  void insert_link(const ElLink& link, std::optional<Fact> reason, bool copy);
  void grow_ids(u64 n);
  void seed_ids_from(u64 first);
  std::vector<u32> axioms_of(const std::vector<std::optional<u32>>& list, std::size_t index) const;
  std::vector<u32> domain_axioms(u32 role, u32 cls) const;
  std::vector<u32> disjoint_axioms(u32 a, u32 b) const;
  void process_functional(u32 s, u32 r, u32 t);
  // The rules of process_pair, in the order it applies them.
  bool record_pair(u32 x, u32 y);
  void pair_at_most_one(u32 x, u32 y);
  void pair_transitivity(u32 x, u32 y, const Fact& xy);
  void pair_conjunctions(u32 x, u32 y);
  void pair_bottom_conjunctions(u32 x, u32 y);
  void pair_disjointness(u32 x, u32 y, const Fact& xy);
  void pair_unions(u32 x);
  void pair_exists_left_into(u32 x, u32 y, const Fact& xy);
  void pair_own_link_rules(u32 x, u32 y, const Fact& xy, std::size_t own_count);
  void pair_inherit_links(u32 x, u32 y, const Fact& xy, std::size_t own_count);
  void pair_role_chains(u32 x, u32 y, const Fact& xy);
  void add_chain_link(const ElLink& link);

  // With dedup off and proofs on, the pairs queued and not yet processed: the
  // full transitivity steps of proof mode queue most pairs many times, and a
  // second copy would find the pair recorded and do nothing. Without proofs
  // few pairs are queued twice, and a hash probe per pair costs more than the
  // duplicates.
  IdSet<u64> pending_;
  // role_below as a bit matrix over the roles, when there are few enough.
  static constexpr std::size_t kRoleMatrixMax = 4096;
  std::shared_ptr<const std::vector<u64>> role_matrix_;  // shared with probes
  std::size_t role_words_ = 0;
  std::vector<u32> scratch_row_, scratch_below_;  // reused by process_pair
  std::vector<u32> scratch_link_row_;             // reused by process_link
};


}  // namespace kelmon::sat
