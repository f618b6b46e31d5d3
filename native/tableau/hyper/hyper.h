// The hypertableau: decides whether DL-clauses have a model in which a root
// concept (or a set of individuals) holds, by firing Horn clauses to a
// fixpoint over a node graph, branching on disjunctive clauses with
// backjumping over level masks, merging nodes for number restrictions and
// nominals, and blocking to stop the graph from growing.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include <tsl/robin_map.h>
#include <tsl/robin_set.h>

#include "common/deadline.h"
#include "common/seeded_hash.h"
#include "core/clause.h"
#include "core/role_hierarchy.h"
#include "saturation/saturation.h"
#include "tableau/hyper/clause_index.h"
#include "tableau/hyper/level_mask.h"
#include "tableau/hyper/node.h"
#include "tableau/hyper/node_store.h"

namespace kelmon {

enum class HyperOutcome : std::uint8_t { Sat, Unsat, Stalled };
enum class ApplyResult : std::uint8_t { Changed, NothingNew, Clash };

struct ClashRecord {
  LevelSummary clash;
  LevelSummary shadow;
  std::uint64_t label_hash = 0;
  std::uint32_t level = 0;
};

struct HyperStats {
  std::vector<ClashRecord> clash_records;
  std::uint64_t branches = 0;
  std::uint64_t reseed_repairs = 0;
  std::uint64_t disjunct_branches = 0;
  std::uint64_t merge_branches = 0;
  std::uint64_t restores = 0;
  std::uint64_t clause_fires = 0;
  std::uint64_t checkpoints = 0;
  std::uint64_t fixpoint_calls = 0;
  std::uint64_t blocking_tests = 0;
  std::uint64_t blocked = 0;
  std::uint64_t double_blocking_tests = 0;
  std::uint64_t blocking_comparisons = 0;
  std::uint64_t lookahead_probes = 0;
  std::uint64_t lookahead_pruned = 0;
  std::uint64_t lookahead_forced = 0;
  std::uint64_t semantic_pruned = 0;
  std::uint64_t forced_disjuncts = 0;
  std::uint64_t head_present_skips = 0;
  std::uint64_t refutations_recorded = 0;
  std::uint64_t probe_total = 0;
  std::uint64_t probe_local_bounded = 0;
  std::uint64_t probe_bounded = 0;
  std::uint64_t probe_popcount_sum = 0;
  std::uint64_t probe_guard_taint = 0;
  std::uint64_t probe_guard_ownsucc = 0;
  std::uint64_t probe_guard_neq = 0;
  std::uint64_t probe_guard_over = 0;
  std::uint64_t probe_opt_bounded = 0;
  std::uint64_t probe_opt_popsum = 0;
  std::uint64_t probe_opt_level_sum = 0;
  std::uint32_t max_depth = 0;
  bool stalled = false;
};

struct AboxRoleAssertion {
  std::uint32_t dir = 0;
  std::uint32_t role = 0;
  std::uint32_t subject = 0;
  std::uint32_t object = 0;
};

struct AboxSeed {
  std::vector<AboxRoleAssertion> role_assertions;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> equalities;
  std::uint32_t individual_count = 0;
  std::uint32_t first_nominal = 0;
};

struct SnapshotNode {
  LevelMask deps;
  std::vector<std::uint32_t> labels;
  std::vector<std::uint32_t> seed_labels;
};

struct HyperSnapshot {
  std::vector<SnapshotNode> nodes;
  std::vector<std::vector<HyperEdge>> edges;  // targets are positions in nodes
  std::uint32_t root_concept = 0;
  std::uint8_t status = 0;
};

struct DefinitionEdge {
  std::uint32_t dir = 0;
  std::uint32_t role = 0;
  std::uint32_t concept_ = 0;
};

struct DefinitionPattern {
  std::vector<std::uint32_t> concepts;
  std::vector<DefinitionEdge> edges;
  std::uint32_t id = 0;
};

struct NominalRange {
  bool enabled = false;
  std::uint32_t first = 0;
  std::uint32_t count = 0;
};

using Binding = std::vector<std::pair<std::uint32_t, std::uint32_t>>;  // (variable, node)

struct RestoreCheck;

// The new fact a clause is fired for, when it is one that only bindings
// through one node can use. A label `concept_` at `node`, fired at a
// neighbour: the new instances of a body holding `concept_` at one variable
// other than the centre bind that variable to `node`. An edge (dir, role)
// from the centre to `node`: the new instances of a body with one role atom,
// at the centre, that the edge matches bind its other end to `node`.
struct FactPin {
  enum class Kind : std::uint8_t { None, Label, Edge };
  Kind kind = Kind::None;
  std::uint32_t concept_ = 0;
  std::uint32_t dir = 0;
  std::uint32_t role = 0;
  std::uint32_t node = 0;
  static FactPin label(std::uint32_t concept_, std::uint32_t node) { return {Kind::Label, concept_, 0, 0, node}; }
  static FactPin edge(std::uint32_t dir, std::uint32_t role, std::uint32_t node) {
    return {Kind::Edge, 0, dir, role, node};
  }
};

// What a branch point keeps to go back to: the node trail's mark, the sizes
// of the lists that only grow meanwhile, and copies of the short ones a
// branch rewrites. `check`, when set, holds the whole state to compare a
// restore against.
struct Checkpoint {
  NodeStore::Mark nodes;
  std::size_t parents = 0;
  std::size_t parent_changes = 0;
  std::size_t distinct_pairs = 0;
  std::vector<WorkItem> queue;
  std::vector<std::uint32_t> blocked_waiting;
  std::shared_ptr<const RestoreCheck> check;
};

#ifdef NDEBUG
inline constexpr bool kCheckRestoresByDefault = false;
#else
inline constexpr bool kCheckRestoresByDefault = true;
#endif

class HyperEngine {
 public:
  HyperEngine(std::span<const DlClause> clauses, std::uint32_t root_concept);

  static HyperEngine new_with_abox(std::span<const DlClause> clauses, const AboxSeed& seed);
  static HyperEngine new_shared(std::span<const DlClause> clauses, std::uint32_t root_concept,
                                std::shared_ptr<const ClauseIndexes> index,
                                std::shared_ptr<const DisjointPairs> disjoint);
  static HyperEngine from_snapshot(std::span<const DlClause> clauses, const HyperSnapshot& snapshot);
  static HyperEngine from_snapshot_lazy(std::span<const DlClause> clauses, const HyperSnapshot& snapshot,
                                        tsl::robin_set<std::uint32_t> triggers);
  static HyperEngine with_role_hierarchy(HyperEngine engine, std::shared_ptr<const RoleHierarchy> hierarchy);
  static HyperEngine with_shadow_dep_probe(HyperEngine engine, bool on);
  // Extra clauses continue the base ids; the engine borrows them.
  void set_extra_clauses(std::span<const DlClause> extra);
  // Sets inverse_roles from the clauses and the role hierarchy.
  void update_inverse_roles();
  // Switches pairwise blocking on, with a fresh bucket map.
  void enable_double_blocking();

  HyperOutcome run(std::uint64_t budget, Deadline deadline);

  std::optional<HyperSnapshot> snapshot_root(std::uint32_t concept_) const;
  std::optional<std::vector<std::uint32_t>> root_labels_containing(std::uint32_t concept_) const;
  std::optional<std::vector<std::uint32_t>> labels_of(std::uint32_t node) const;
  // The labels of `node` that rest on no branching choice: after a run that
  // found a model, every model of the clauses has them. Empty when the node
  // itself came from a choice (a merge), its masks are not exact, or the run
  // tried merges for an at-most restriction.
  std::vector<std::uint32_t> certain_labels_of(std::uint32_t node) const;
  std::vector<std::uint32_t> matching_definitions(std::uint32_t node,
                                                  const std::vector<DefinitionPattern>& patterns) const;
  HyperStats stats() const { return stats_; }

  // Primitive operations.
  std::uint32_t find(std::uint32_t node) const;
  std::uint32_t new_node();
  bool add_label(std::uint32_t node, std::uint32_t concept_, const LevelMask& deps);
  const DlClause& clause(std::uint64_t id) const;
  Checkpoint checkpoint();
  void restore(Checkpoint cp);

  // Search.
  HyperOutcome solve(std::uint64_t depth_left);
  HyperOutcome merge_search(std::uint32_t node, const std::vector<std::uint32_t>& successors, std::uint32_t n,
                            std::uint64_t depth_left);

  // Fixpoint and matching.
  HyperOutcome fixpoint();
  // After an incremental drain, at a would-be model: one pass over the whole
  // graph; Changed when it derived something the triggers had missed.
  enum class Settled : std::uint8_t { Model, Changed, Clash, Stalled };
  Settled settle_model();
  void reseed();
  ApplyResult fire_clause(std::uint64_t clause_id, std::uint32_t node, FactPin pin = {});
  ApplyResult apply_head_atom(const ClauseAtom& atom, std::uint32_t centre, const Binding& binding,
                              const LevelMask& mask);
  // Not const: asking whether a generating atom holds asks for blocking.
  bool head_atom_holds(std::uint64_t clause_id, std::size_t position, std::uint32_t centre,
                       const Binding& binding);
  std::vector<Binding> match_clause(std::uint64_t clause_id, std::uint32_t centre, FactPin pin = {});
  LevelMask body_deps(std::uint64_t clause_id, std::uint32_t centre, const Binding& binding) const;
  // The sources of node's in-edges (their classes under functional
  // merging), each once, in the order of the edges: a clause fired at a
  // source for one of its edges has seen every other edge from it too.
  std::vector<std::uint32_t> in_sources(std::uint32_t node);
  bool edge_matches(std::uint32_t req_dir, std::uint32_t req_role, const HyperEdge& edge, bool backwards) const {
    const bool dir_ok = backwards ? edge.dir != req_dir : edge.dir == req_dir;
    if (edge.role == req_role && dir_ok) return true;
    if (!role_hierarchy) return false;
    // Walked against its direction, an edge matches through a symmetric role between the two.
    if (!dir_ok) return role_hierarchy->is_reverse_sub_role(RoleId{edge.role}, RoleId{req_role});
    return role_hierarchy->is_sub_role(RoleId{edge.role}, RoleId{req_role});
  }

  // Merging, functional restrictions, blocking.
  bool merge(std::uint32_t x, std::uint32_t y, const LevelMask& mask);  // false on a clash
  bool is_distinct(std::uint32_t x, std::uint32_t y) const;
  // What keeps two distinct classes apart: the deps of the nodes an at-least
  // expansion made distinct.
  LevelMask distinct_deps(std::uint32_t x, std::uint32_t y) const;
  bool labels_disjoint(std::uint32_t x, std::uint32_t y) const;
  std::vector<std::uint32_t> successors(std::uint32_t node, std::uint32_t dir, std::uint32_t role,
                                        std::uint32_t qualified, std::uint32_t concept_) const;
  bool enforce_functional(std::uint32_t node, const CardRecord& record);  // false on a clash
  std::vector<CardRecord> edge_functional_restrictions(std::uint32_t node, std::uint32_t dir,
                                                       std::uint32_t role) const;
  bool is_blocked(std::uint32_t node);
  // With inverse roles: blocked only through a blocked ancestor. Such nodes
  // stand for nothing in the model; a directly blocked node still must
  // satisfy its disjunctions, since they can reach back to its parent.
  bool indirectly_blocked(std::uint32_t node);
  LevelMask card_clash_deps(std::uint32_t node, const std::vector<std::uint32_t>& successors) const;
  LevelMask shadow_card_deps(std::uint32_t node, const std::vector<std::uint32_t>& successors) const;
  void record_clash(const LevelMask& clash, const LevelMask& shadow, std::uint32_t node);

  // Fields.
  HyperStats stats_;
  std::shared_ptr<const RoleHierarchy> role_hierarchy;
  Deadline deadline;
  LevelMask clash_deps;
  std::span<const DlClause> clauses;
  std::span<const DlClause> extra_clauses;
  std::optional<tsl::robin_set<std::uint64_t>> skip_disjunctions;  // (A << 32) | B
  std::optional<tsl::robin_map<std::uint64_t, std::vector<std::uint32_t>>> parent_role_buckets;
  NodeStore nodes;
  ClauseIndexes delta_index{false};
  std::vector<std::pair<std::uint32_t, std::uint32_t>> delta_disjoint;
  std::vector<WorkItem> queue;
  std::vector<std::uint32_t> parent_of;
  // (node, earlier representative) for each merge under an open branch point.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> parent_changes;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> distinct_pairs;
  std::optional<std::vector<std::vector<std::uint32_t>>> snapshot_labels;
  tsl::robin_set<std::uint32_t> trigger_concepts;
  std::shared_ptr<const DisjointPairs> disjoint;
  std::shared_ptr<const ClauseIndexes> index;
  std::uint64_t budget = 0;
  std::uint64_t match_steps = 0;
  std::uint64_t adaptive_branches_mark = 0;
  std::uint64_t adaptive_restores_mark = 0;
  std::shared_ptr<const sat::LookaheadEngine> lookahead;
  NominalRange nominal_range;
  std::uint32_t level = 0;
  bool double_blocking = false;
  bool incremental_fixpoint = false;
  bool reseed_verify = false;
  bool verifying = false;
  bool semantic_branching = false;
  bool precise_card_deps = false;
  bool at_most_probe = false;
  bool fixpoint_deadline = false;
  bool match_deadline = false;
  bool inverse_func_merge = false;
  bool head_present_skip = false;
  bool mrv = false;
  bool adaptive_budget = false;
  bool shadow_probe = false;
  bool match_timed_out = false;
  // Some clause uses an inverse role: blocking then compares labels for
  // equality, node and parent alike, since a blocked node's predecessors
  // can still be constrained through it.
  bool inverse_roles = false;
  // Nodes whose successor creation was refused because they were blocked;
  // re-examined whenever the queue runs dry, since a blocker may change.
  std::vector<std::uint32_t> blocked_waiting;
  // Successor creation waits until the graph is otherwise saturated, one
  // request at a time, so that blocking compares settled labels.
  struct PendingGeneration {
    std::uint32_t node = 0;
    ClauseAtom atom;  // at variable 0, standing for `node`
    LevelMask mask;
  };
  std::vector<PendingGeneration> pending_generation;
  bool defer_generation = false;
  // By class id: classes that every instance of it belongs to in every model
  // (saturation subsumers; borrowed). A node gets them with the class, not
  // only once successors built for them send them back, so its labels are
  // close to final when blocking first compares them.
  std::span<const std::vector<std::uint32_t>> implied_subsumers;
  // Every restore compares the state it brings back with a full copy taken
  // at the branch point; an invariant failure when they differ. On in builds
  // with assertions, and in the tests that search.
  bool check_restores = kCheckRestoresByDefault;

 private:
  HyperEngine() = default;
  // Merges f into e, as the branch points see it.
  void set_parent(std::uint32_t f, std::uint32_t e);
  // Closes every branch point past the first `open`, keeping what changed under them.
  void close_branch_points(std::size_t open);
  void init_common(std::span<const DlClause> clauses);
  void read_switches();
  bool any_empty_body() const;
  // add_label without the implied subsumers.
  bool add_one_label(std::uint32_t node, std::uint32_t concept_, const LevelMask& deps);
  std::size_t base_count() const { return clauses.size(); }
  const BodyCompilation& compilation(std::uint64_t clause_id) const;
  HyperOutcome handle_item(const WorkItem& item);
  // The edge source → target over `role` unless present; its ends' deps gain the mask.
  ApplyResult add_role_edge(std::uint32_t source, std::uint32_t target, std::uint32_t role, const LevelMask& mask);
  // For the new edge (dir, role) from t to u and every transitive role T it
  // falls under: T-edges for the T-paths of two edges through it.
  void close_transitive(std::uint32_t dir, std::uint32_t role, std::uint32_t t, std::uint32_t u);
  bool recheck_blocked();
  bool generate_next();
  bool defer(std::uint32_t node, const ClauseAtom& atom, const LevelMask& mask);
  // (clause << 32) | node fired in a whole-graph pass at graph_version whole_fired_version_.
  struct MixedHash {
    std::size_t operator()(std::uint64_t key) const { return hash_finish(key); }
  };
  tsl::robin_set<std::uint64_t, MixedHash> whole_fired_;
  std::uint64_t whole_fired_version_ = ~std::uint64_t{0};
  std::vector<std::uint32_t> source_marks_;  // by node: the stamp of the in_sources call that took it
  std::uint32_t source_stamp_ = 0;
  ApplyResult fire_list(std::span<const std::uint64_t> ids, std::uint32_t node, FactPin pin = {});
  // The variable `pin` binds in `body`; 0 when every binding can be new.
  std::uint32_t pinned_var(const CompiledBody& body, const FactPin& pin) const;
  // `pin_var` (0: none) may only be bound to `pin_node`.
  void match_compiled(std::uint32_t x, const CompiledBody& body, std::size_t step, Binding& binding,
                      std::vector<Binding>& out, std::uint32_t pin_var, std::uint32_t pin_node);
  void match_plain(std::uint32_t x, const DlClause& clause, std::vector<bool>& used, Binding& binding,
                   std::vector<Binding>& out);
  bool count_match_step();
  std::optional<std::uint32_t> node_of(std::uint32_t var, std::uint32_t centre, const Binding& binding) const;
  bool role_atom_holds(std::uint32_t dir, std::uint32_t role, std::uint32_t p, std::uint32_t q) const;
  std::uint32_t create_successor(std::uint32_t parent, std::uint32_t dir, std::uint32_t role, const LevelMask& mask);
  void refresh_block_status();
  // A root or ABox node, or one carrying a nominal of the nominal range.
  bool names_individual(std::uint32_t node) const;
  // Some node naming an individual has an at-most restriction over a tree
  // node that is not its child.
  bool individual_counts_tree_nodes() const;
  // The at-most restrictions of r and everything r and the successors rest on.
  LevelMask local_card_mask(std::uint32_t r, const std::vector<std::uint32_t>& s) const;
  std::uint64_t graph_version = 0;  // bumped by every change blocking can see
  std::uint64_t block_status_version = ~std::uint64_t{0};
  std::vector<std::uint8_t> block_status;  // 0 open, 1 blocked, 2 below a blocked node
  bool block_status_frozen = false;
  tsl::robin_map<std::uint64_t, std::vector<std::uint32_t>> open_by_key;  // scratch of refresh_block_status
  struct Candidate {
    std::uint64_t clause = 0;
    std::uint32_t node = 0;
    Binding binding;
  };
  std::optional<Candidate> select_candidate();
  bool skipped_by_set(const DlClause& clause) const;
  HyperOutcome branch(const Candidate& candidate, std::uint64_t depth_left);
  std::optional<HyperOutcome> check_at_most(std::uint64_t depth_left);
  // An at-most restriction whose successors fit no merging; sets clash_deps.
  bool at_most_clash();
  // n + 1 pairwise distinct successors found greedily; sets clash_deps.
  bool greedy_card_clash(std::uint32_t node, const std::vector<std::uint32_t>& s, std::uint32_t n);
  // Whether s fits into at most n groups of pairwise compatible nodes.
  bool fits_groups(const std::vector<std::uint32_t>& s, std::uint32_t n, std::size_t k,
                   std::vector<std::vector<std::uint32_t>>& groups) const;
  std::uint32_t enter_level(std::uint64_t depth_left);
  void at_most_exhaustion_probe(std::uint32_t x, const std::vector<std::uint32_t>& s, const LevelMask& acc);
  enum class Partition : std::uint8_t { Sat, Exhausted };
  Partition partition_search(std::uint32_t x, const std::vector<std::uint32_t>& s, std::uint32_t n, std::size_t k,
                             std::uint64_t depth_left, std::vector<std::vector<std::uint32_t>>& groups,
                             bool& stalled, LevelMask& acc);
  HyperOutcome guarded_solve(std::uint64_t depth_left);
  bool run_decided() const { return stats_.branches == 0 && stats_.forced_disjuncts == 0; }
};

// One-shot tests of extra clauses on a cached model: 0 Unsat, 1 Sat,
// 2 not run (the snapshot is not a finished model), 3 Stalled.
std::uint8_t hyper_test_lazy(std::span<const DlClause> base, const HyperSnapshot& snapshot,
                             std::vector<DlClause> extra);
std::uint8_t hyper_test_eager(std::span<const DlClause> base, const HyperSnapshot& snapshot,
                              std::vector<DlClause> extra);

}  // namespace kelmon
