#include "tableau/completion/search.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdarg>
#include <string>

#include "common/invariant.h"
#include "common/switches.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {
namespace {

constexpr std::uint64_t kSaturationIterations = 4096;

// One whole line to standard error, when tracing is on.
__attribute__((format(printf, 1, 2))) void trace(const char* format, ...) {
  if (!trace_enabled()) return;
  char line[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  std::fputs(line, stderr);
}

void trace_cut() { trace("# trace search depth=0_or_deadline\n"); }

using ull = unsigned long long;

std::uint64_t node_limit() {
  const std::uint64_t limit = switch_number(SwitchId::MaxNodes);
  return limit == 0 ? UINT64_MAX : limit;
}

// The rule order of a pass; the checks before each rule come from the caller.
using NodeRule = bool (*)(TableauContext&, NodeId);
constexpr NodeRule kCheckedRules[] = {
    apply_global_rule,         apply_and_rule,         apply_unfold_rule,       apply_nominal_unfold_rule,
    apply_all_rule,            apply_absorbed_all_rule, apply_role_chain_rule,  apply_self_rule,
    apply_role_disjointness_rule, apply_some_rule,
};
constexpr NodeRule kFinalRules[] = {apply_min_rule, apply_max_rule, apply_nominal_merge_rule};

enum class Bound { None, NodeLimit, Deadline };

// The clock is read on every 16th check only: a check runs before every rule
// at every node, and reading the clock would cost more than most rules.
bool deadline_due(TableauContext& ctx) {
  if (!ctx.deadline) return false;
  static thread_local std::uint32_t calls = 0;
  return (++calls & 15) == 0 && ctx.deadline_passed();
}

Bound check_bounds(TableauContext& ctx, std::uint64_t limit) {
  if (ctx.graph.size() > limit) return Bound::NodeLimit;
  if (deadline_due(ctx)) return Bound::Deadline;
  return Bound::None;
}

SaturateOutcome bound_outcome(Bound b) {
  return {b == Bound::NodeLimit ? SaturateOutcome::Tag::NodeLimit : SaturateOutcome::Tag::Exhausted, 0, {}};
}

// One pass over the dirty nodes below the count taken at its start. A node
// left on a bound stays dirty: its rules did not all run.
Bound dirty_pass(TableauContext& ctx, std::uint64_t limit, bool& changed) {
  const std::size_t count = ctx.graph.size();
  for (NodeId x = 0; x < count; ++x) {
    if (deadline_due(ctx)) return Bound::Deadline;
    const std::uint8_t bits = ctx.graph.dirty[x] & (kDirtyRules | kDirtyEdges);
    if (!bits) continue;
    ctx.clear_dirty(x, bits);
    // A merged node's labels and edges live on in its survivor; expanding it
    // again would grow successors from a node without edges.
    if (ctx.node(x).merged_into) continue;
    for (NodeRule rule : kCheckedRules) {
      if (Bound b = check_bounds(ctx, limit); b != Bound::None) {
        ctx.mark_dirty(x);
        return b;
      }
      // Only a changed edge nearby gives the role-chain rule work; only a
      // changed label (or edge) gives the others work.
      if (!(bits & (rule == apply_role_chain_rule ? kDirtyEdges : kDirtyRules))) continue;
      changed |= rule(ctx, x);
    }
    if (!(bits & kDirtyRules)) continue;
    if (Bound b = check_bounds(ctx, limit); b != Bound::None) {
      ctx.mark_dirty(x);
      return b;
    }
    for (NodeRule rule : kFinalRules) changed |= rule(ctx, x);
  }
  return Bound::None;
}

// The disjunction rules read only the node's own labels: a node whose labels
// did not change since its last sweep has nothing to add.
Bound quiescent_sweep(TableauContext& ctx, std::uint64_t limit, bool& changed) {
  const std::size_t count = ctx.graph.size();
  for (NodeId x = 0; x < count; ++x) {
    if (!(ctx.graph.dirty[x] & kDirtySweep)) continue;
    if (Bound b = check_bounds(ctx, limit); b != Bound::None) return b;
    ctx.clear_dirty(x, kDirtySweep);
    if (ctx.node(x).merged_into) continue;
    changed |= apply_global_disjunction_rule(ctx, x);
    changed |= apply_deferred_disjunction_rule(ctx, x);
  }
  return Bound::None;
}

void mark_all_dirty(TableauContext& ctx) { std::fill(ctx.graph.dirty.begin(), ctx.graph.dirty.end(), kDirtyAll); }

// The clash check of the nodes changed since their last check; every other
// node was found clash-free and has not changed since.
std::optional<std::pair<NodeId, DepSet>> dirty_clash_scan(TableauContext& ctx) {
  for (NodeId x = 0; x < ctx.graph.size(); ++x) {
    if (!(ctx.graph.dirty[x] & kDirtyClash)) continue;
    if (auto d = ctx.clash(x)) return std::pair{x, std::move(*d)};
    ctx.clear_dirty(x, kDirtyClash);
  }
  return std::nullopt;
}

// Applies rules until none applies to a dirty node. With `verify`, every node
// is rechecked first and the graph is complete only once a pass over every
// node found nothing to do: a rule may read a node another rule changed
// without marking it dirty (a blocker's labels, a distinct mark). `changed`
// tells whether any rule changed the graph.
SaturateOutcome saturate_graph(TableauContext& ctx, std::uint64_t max_iterations, bool verify, bool& changed_any) {
  if (verify) mark_all_dirty(ctx);
  const std::uint64_t limit = node_limit();
  // Only passes that neither created a node nor added a label count toward the
  // cap: a growing graph is bounded by the node limit and the deadline instead.
  std::uint64_t idle_passes = 0;
  // Whether every node was dirty at the start of the current pass.
  bool full_pass = verify;
  while (true) {
    if (idle_passes >= max_iterations) {
      ctx.bound_hit = true;
      return {SaturateOutcome::Tag::Exhausted, 0, {}};
    }
    if (ctx.deadline_passed()) return {SaturateOutcome::Tag::Exhausted, 0, {}};
    if (auto c = dirty_clash_scan(ctx)) return {SaturateOutcome::Tag::Clash, c->first, std::move(c->second)};
    const std::size_t nodes_before = ctx.graph.size();
    const std::uint64_t labels_before = ctx.labels_added;
    const bool this_pass_full = full_pass;
    full_pass = false;
    bool changed = false;
    if (Bound b = dirty_pass(ctx, limit, changed); b != Bound::None) return bound_outcome(b);
    if (!changed) {
      if (ctx.graph.size() == 0) break;
      if (Bound b = quiescent_sweep(ctx, limit, changed); b != Bound::None) return bound_outcome(b);
    }
    changed_any |= changed;
    if (!changed) {
      if (!verify || this_pass_full) break;
      mark_all_dirty(ctx);
      full_pass = true;
      continue;
    }
    if (ctx.graph.size() == nodes_before && ctx.labels_added == labels_before) ++idle_passes;
  }
  if (auto c = dirty_clash_scan(ctx)) return {SaturateOutcome::Tag::Clash, c->first, std::move(c->second)};
  return {SaturateOutcome::Tag::Complete, 0, {}};
}

}  // namespace

bool trace_enabled() {
  // 0 unread, 1 off, 2 on; concurrent first readers all store the same answer.
  static std::atomic<std::uint8_t> state{0};
  std::uint8_t s = state.load(std::memory_order_relaxed);
  if (s == 0) {
    // The tableau's rule: on only for exactly "1", read once for the process.
    s = switch_text(SwitchId::Trace) == "1" ? 2 : 1;
    state.store(s, std::memory_order_relaxed);
  }
  return s == 2;
}

bool is_negative_literal(const ConceptPool& pool, ConceptId concept_id) {
  // Explicit stack: And operands may nest.
  std::vector<ConceptId> stack{concept_id};
  while (!stack.empty()) {
    const Concept& c = pool.get(stack.back());
    stack.pop_back();
    if (std::holds_alternative<Not>(c)) continue;
    const And* a = std::get_if<And>(&c);
    if (!a) return false;
    stack.insert(stack.end(), a->members.begin(), a->members.end());
  }
  return true;
}

std::optional<std::pair<NodeId, DepSet>> clash_scan(const TableauContext& ctx) {
  for (NodeId x = 0; x < ctx.graph.size(); ++x) {
    if (auto d = ctx.clash(x)) return std::pair{x, std::move(*d)};
  }
  return std::nullopt;
}

SaturateOutcome saturate(TableauContext& ctx, std::uint64_t max_iterations) {
  bool changed = false;
  return saturate_graph(ctx, max_iterations, true, changed);
}

namespace {

std::uint32_t open_branch(TableauContext& ctx) {
  const std::uint32_t id = ctx.branch_counter;
  invariant(id != UINT32_MAX, "TableauContext: branch id counter overflowed u32 — pathological search tree");
  ++ctx.branch_counter;
  ctx.branch_stack.push_back(id);
  return id;
}

// The option loop shared by disjunction and merge choices. `apply` adds
// option i under the option's DepSet; `learn` is told about a failed option.
template <class Apply, class Learn>
SearchOutcome run_options(TableauContext& ctx, std::uint64_t depth, std::uint32_t id, std::size_t count,
                          const DepSet& deps, Apply apply, Learn learn) {
  DepSet acc;
  bool saw_no_verdict = false;
  std::optional<SearchOutcome> decision;
  for (std::size_t i = 0; i < count && !decision; ++i) {
    const std::uint64_t cp = ctx.checkpoint();
    DepSet option_deps = deps;
    option_deps.insert(id);
    apply(i, option_deps);
    SearchOutcome r = search(ctx, depth - 1);
    bool go_on = false;
    switch (r.tag) {
      case SearchOutcome::Tag::Sat:
        decision = r;
        break;
      case SearchOutcome::Tag::NoVerdict:
        ctx.rollback(cp);
        saw_no_verdict = true;
        go_on = true;
        break;
      case SearchOutcome::Tag::NodeLimit:
        ctx.rollback(cp);
        decision = r;
        break;
      case SearchOutcome::Tag::Clash:
        ctx.rollback(cp);
        if (r.deps.empty() || !r.deps.contains(id)) {
          decision = r;  // this choice played no part: jump back past it
        } else {
          for (std::uint32_t d : r.deps) {
            if (d != id) acc.insert(d);
          }
          learn(i);
          go_on = true;
        }
        break;
    }
    if (ctx.abandon_state != 2) {
      ++ctx.trials;
      if (r.tag != SearchOutcome::Tag::NoVerdict) {
        ++ctx.definite;
        ctx.stall_run = 0;
      }
      if (go_on && ctx.abandon_state == 1) decision = SearchOutcome::no_verdict();
    }
  }
  ctx.branch_stack.pop_back();
  if (decision) return *decision;
  return saw_no_verdict ? SearchOutcome::no_verdict() : SearchOutcome::clash(std::move(acc));
}

// Lower first: negative literals, atoms, other concepts, then options that
// grow successors (an atom defined by an at-least restriction as well: trying
// it first builds a tree of fresh nodes where the other option adds none),
// last the options that clash at once.
int option_rank(const TableauContext& ctx, NodeId node, ConceptId c) {
  const Concept& concept_id = ctx.concept_of(c);
  const GraphNode& n = ctx.node(node);
  int rank = 2;
  if (std::holds_alternative<Atomic>(concept_id) || std::holds_alternative<Nominal>(concept_id)) {
    auto it = ctx.complements.find(c);
    if (it != ctx.complements.end() && n.has_label(it->second)) return 4;
    rank = 1;
  } else if (const Not* neg = std::get_if<Not>(&concept_id)) {
    return n.has_label(neg->operand) ? 4 : 0;
  } else if (std::holds_alternative<And>(concept_id) && is_negative_literal(*ctx.pool, c)) {
    return 0;
  }
  return ctx.generates_successors(c) ? 3 : rank;
}

bool learnable(const Concept& c) {
  return std::holds_alternative<Atomic>(c) || std::holds_alternative<Nominal>(c) || std::holds_alternative<Self>(c) ||
         std::holds_alternative<Not>(c);
}

SearchOutcome branch_merge(TableauContext& ctx, std::uint64_t depth, const MergeChoice& choice) {
  const std::uint32_t id = open_branch(ctx);
  const std::size_t count = choice.options.size();
  return run_options(
      ctx, depth, id, count, DepSet{},
      [&](std::size_t i, const DepSet& option_deps) {
        trace("# trace branch depth=%llu my_id=%u pick=%zu/%zu disj=%u\n", ull(depth), id, i + 1, count,
              choice.label.v);
        const auto& option = choice.options[i];
        if (!ctx.merge_nodes(option.from, option.into, DepSet::union_of(option.deps, option_deps))) {
          // Marked distinct since the choice was found: this option is closed.
          const auto bottom = ctx.pool->bottom_id();
          DepSet why = DepSet::union_of(option.deps, option_deps);
          why.join(ctx.node(option.from).distinct_deps_with(option.into));
          if (bottom) ctx.add_label(choice.node, *bottom, why);
        }
      },
      [](std::size_t) {});
}

// The first pending disjunction, preferring one with a nominal operand when asked.
std::optional<std::pair<NodeId, ConceptId>> find_disjunction(const TableauContext& ctx) {
  invariant(ctx.graph.size() <= UINT32_MAX, "node count exceeds u32");
  const bool nominal_first = switch_flag(SwitchId::NominalFirst);
  std::optional<std::pair<NodeId, ConceptId>> first;
  for (NodeId x = 0; x < ctx.graph.size(); ++x) {
    const GraphNode& n = ctx.node(x);
    if (n.merged_into) continue;
    for (ConceptId label : n.labels) {
      const Or* u = std::get_if<Or>(&ctx.concept_of(label));
      if (!u) continue;
      if (std::any_of(u->members.begin(), u->members.end(), [&](ConceptId m) { return n.has_label(m); })) continue;
      if (ctx.indirectly_blocked(x)) break;
      if (!nominal_first) return std::pair{x, label};
      if (!first) first = std::pair{x, label};
      if (std::any_of(u->members.begin(), u->members.end(),
                      [&](ConceptId m) { return std::holds_alternative<Nominal>(ctx.concept_of(m)); }))
        return std::pair{x, label};
    }
  }
  return first;
}

struct ChooseChoice {
  NodeId node;
  ConceptId filler;
  ConceptId complement;
};

std::optional<ChooseChoice> find_choose(const TableauContext& ctx) {
  if (ctx.complements.empty()) return std::nullopt;
  for (NodeId x = 0; x < ctx.graph.size(); ++x) {
    const GraphNode& n = ctx.node(x);
    if (n.merged_into) continue;
    for (ConceptId label : n.labels) {
      const Max* m = std::get_if<Max>(&ctx.concept_of(label));
      // Every neighbour is a ⊤-neighbour: nothing to choose.
      if (!m || std::holds_alternative<Top>(ctx.concept_of(m->filler))) continue;
      auto k = ctx.complements.find(m->filler);
      if (k == ctx.complements.end()) continue;
      auto open = [&](NodeId y) { return !ctx.node(y).has_label(m->filler) && !ctx.node(y).has_label(k->second); };
      if (ctx.indirectly_blocked(x)) break;
      for (const Edge& e : n.edges) {
        if (ctx.role_matches(0, e.role, m->role.inverse, m->role.id) && open(e.node))
          return ChooseChoice{e.node, m->filler, k->second};
      }
      for (const Edge& e : n.in_edges) {
        if (ctx.role_matches(1, e.role, m->role.inverse, m->role.id) && open(e.node))
          return ChooseChoice{e.node, m->filler, k->second};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

SearchOutcome branch(TableauContext& ctx, std::uint64_t depth, NodeId node, const std::vector<ConceptId>& options,
                     const DepSet& deps) {
  const std::uint32_t id = open_branch(ctx);
  std::vector<std::size_t> order(options.size());
  std::vector<int> ranks(options.size());
  for (std::size_t i = 0; i < options.size(); ++i) {
    order[i] = i;
    ranks[i] = option_rank(ctx, node, options[i]);
  }
  std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return ranks[a] < ranks[b]; });
  std::vector<ConceptId> learned;
  return run_options(
      ctx, depth, id, order.size(), deps,
      [&](std::size_t i, const DepSet& option_deps) {
        const ConceptId c = options[order[i]];
        trace("# trace branch depth=%llu my_id=%u pick=%zu/%zu disj=%u\n", ull(depth), id, i + 1, order.size(),
              c.v);
        for (ConceptId l : learned) ctx.add_label(node, l, option_deps);
        ctx.add_label(node, c, option_deps);
      },
      [&](std::size_t i) {
        const ConceptId c = options[order[i]];
        auto k = ctx.complements.find(c);
        if (k != ctx.complements.end() && learnable(ctx.concept_of(k->second))) learned.push_back(k->second);
      });
}

SearchOutcome search(TableauContext& ctx, std::uint64_t depth) {
  if (depth == 0) {
    if (ctx.abandon_state != 2) {
      ++ctx.stall_run;
      ++ctx.depth0_cuts;
      ctx.max_stall_run = std::max(ctx.max_stall_run, ctx.stall_run);
      if (ctx.abandon_limit - 1 < ctx.depth0_cuts) ctx.abandon_state = 1;
    }
    ctx.bound_hit = true;
    trace_cut();
    return SearchOutcome::no_verdict();
  }
  if (ctx.deadline_passed()) {
    trace_cut();
    return SearchOutcome::no_verdict();
  }
  if (ctx.abandon_state == 1) {
    trace_cut();
    return SearchOutcome::no_verdict();
  }
  // Each step saturates only what changed since the last; the full recheck
  // of every node runs once, before the graph is reported complete.
  bool verify = false;
  while (true) {
    bool changed = false;
    SaturateOutcome s = saturate_graph(ctx, kSaturationIterations, verify, changed);
    switch (s.tag) {
      case SaturateOutcome::Tag::Clash:
        trace("# trace search depth=%llu clash=immediate deps=%zu\n", ull(depth), s.deps.size());
        return SearchOutcome::clash(std::move(s.deps));
      case SaturateOutcome::Tag::Exhausted:
        return SearchOutcome::no_verdict();
      case SaturateOutcome::Tag::NodeLimit:
        return SearchOutcome::node_limit();
      case SaturateOutcome::Tag::Complete:
        break;
    }
    // Merges first: a merge choice settles which nodes are one before their
    // disjunctions are decided apart.
    if (auto m = find_merge_choice(ctx)) return branch_merge(ctx, depth, *m);
    if (auto d = find_disjunction(ctx)) {
      const auto [node, label] = *d;
      const std::vector<ConceptId> operands = std::get<Or>(ctx.concept_of(label)).members;
      trace("# trace search depth=%llu disj node=%u options=%zu graph_nodes=%zu\n", ull(depth), node,
            operands.size(), ctx.graph.size());
      const DepSet deps = ctx.node(node).label_deps[*ctx.node(node).label_position(label)];
      return branch(ctx, depth, node, operands, deps);
    }
    if (auto c = find_choose(ctx)) {
      trace("# trace search depth=%llu choose node=%u graph_nodes=%zu\n", ull(depth), c->node, ctx.graph.size());
      return branch(ctx, depth, c->node, {c->filler, c->complement}, DepSet{});
    }
    if (verify) break;
    verify = true;
  }
  trace("# trace search depth=%llu sat graph_nodes=%zu\n", ull(depth), ctx.graph.size());
  return SearchOutcome::sat();
}

}  // namespace kelmon::completion
