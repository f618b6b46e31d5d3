// Rules that add concepts to a node from its own labels and the absorbed TBox.
// Disjunctions of internalised and class GCIs wait for the quiescent sweep.
#include <algorithm>

#include "tableau/completion/internal/pending.h"
#include "tableau/completion/rules.h"

namespace kelmon::completion {
namespace {

using internal::PendingLabel;

struct Atom {
  ClassId cls;
  DepSet deps;
};

std::vector<Atom> atoms_of(const TableauContext& ctx, NodeId x) {
  std::vector<Atom> atoms;
  const GraphNode& n = ctx.node(x);
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    if (const Atomic* a = std::get_if<Atomic>(&ctx.concept_of(n.labels[i]))) atoms.push_back({a->cls, n.label_deps[i]});
  }
  return atoms;
}

bool is_or(const TableauContext& ctx, ConceptId c) { return std::holds_alternative<Or>(ctx.concept_of(c)); }

}  // namespace

bool apply_global_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->global_concepts.empty() || ctx.graph.globals_added[x]) return false;
  std::vector<ConceptId> pending;
  for (ConceptId c : tbox->global_concepts) {
    if (!std::binary_search(tbox->global_disjunctions.begin(), tbox->global_disjunctions.end(), c))
      pending.push_back(c);
  }
  bool changed = false;
  for (ConceptId c : pending) changed |= ctx.add_label(x, c, DepSet{});
  ctx.graph.globals_added[x] = 1;
  return changed;
}

bool apply_and_rule(TableauContext& ctx, NodeId x) {
  const GraphNode& n = ctx.node(x);
  std::vector<PendingLabel> pending;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const And* a = std::get_if<And>(&ctx.concept_of(n.labels[i]));
    if (!a) continue;
    for (ConceptId m : a->members) {
      if (!n.has_label(m)) pending.push_back({x, m, n.label_deps[i]});
    }
  }
  return internal::apply_labels(ctx, pending);
}

bool apply_unfold_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->unfold_pairs.empty()) return false;
  const std::vector<Atom> atoms = atoms_of(ctx, x);
  const GraphNode& n = ctx.node(x);
  std::vector<PendingLabel> pending;
  for (const Atom& atom : atoms) {
    tbox->for_each_consequent(atom.cls, [&](ConceptId c) {
      if (!is_or(ctx, c) && !n.has_label(c)) pending.push_back({x, c, atom.deps});
    });
  }
  return internal::apply_labels(ctx, pending);
}

bool apply_nominal_unfold_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->nominal_pairs.empty()) return false;
  const GraphNode& n = ctx.node(x);
  std::vector<PendingLabel> pending;
  for (std::size_t i = 0; i < n.labels.size(); ++i) {
    const Nominal* o = std::get_if<Nominal>(&ctx.concept_of(n.labels[i]));
    if (!o) continue;
    if (!tbox->nominal_index.empty()) {
      if (auto it = tbox->nominal_index.find(o->individual); it != tbox->nominal_index.end()) {
        for (ConceptId c : it->second) pending.push_back({x, c, n.label_deps[i]});
      }
    } else {
      for (const NominalPair& pair : tbox->nominal_pairs) {
        if (pair.individual == o->individual) pending.push_back({x, pair.consequence, n.label_deps[i]});
      }
    }
  }
  return internal::apply_labels(ctx, pending);
}

namespace {

// True when no disjunct of the Or is a label; the signature filters first.
bool no_disjunct_present(const TableauContext& ctx, NodeId x, ConceptId c) {
  const Or* u = std::get_if<Or>(&ctx.concept_of(c));
  if (!u) return true;
  std::uint64_t bits = 0;
  for (ConceptId m : u->members) bits |= signature_bit(m);
  if ((bits & ctx.graph.summaries[x].signature) == 0) return true;
  const GraphNode& n = ctx.node(x);
  return std::none_of(u->members.begin(), u->members.end(), [&](ConceptId m) { return n.has_label(m); });
}

bool present_by_signature(const TableauContext& ctx, NodeId x, ConceptId c) {
  return (ctx.graph.summaries[x].signature & signature_bit(c)) != 0 && ctx.node(x).has_label(c);
}

}  // namespace

bool apply_global_disjunction_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->global_disjunctions.empty()) return false;
  std::vector<ConceptId> pending;
  for (ConceptId d : tbox->global_disjunctions) {
    if (!ctx.node(x).has_label(d) && no_disjunct_present(ctx, x, d)) pending.push_back(d);
  }
  bool changed = false;
  for (ConceptId d : pending) changed |= ctx.add_label(x, d, DepSet{});
  return changed;
}

bool apply_deferred_disjunction_rule(TableauContext& ctx, NodeId x) {
  const AbsorbedTbox* tbox = ctx.absorbed;
  if (!tbox || tbox->unfold_pairs.empty()) return false;
  const std::vector<Atom> atoms = atoms_of(ctx, x);
  std::vector<PendingLabel> pending;
  for (const Atom& atom : atoms) {
    tbox->for_each_consequent(atom.cls, [&](ConceptId c) {
      if (is_or(ctx, c) && !present_by_signature(ctx, x, c) && no_disjunct_present(ctx, x, c))
        pending.push_back({x, c, atom.deps});
    });
  }
  return internal::apply_labels(ctx, pending);
}

}  // namespace kelmon::completion
