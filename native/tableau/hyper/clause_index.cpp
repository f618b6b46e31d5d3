#include "tableau/hyper/clause_index.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/switches.h"

namespace kelmon {

namespace {

// Both switches are read once per process: the plan of a clause must not
// change between the engines that share its index.
bool trace_body_vars() { return switch_flag(SwitchId::TraceBodyVars); }

std::string refusal_text(const BodyRefusal& r) {
  if (r.kind == BodyRefusal::Kind::Disconnected) return "Disconnected";
  return "VarCap { vars: " + std::to_string(r.vars) + ", cap: " + std::to_string(r.cap) + " }";
}

std::uint32_t distinct_role_vars(const CompiledBody& body) {
  std::vector<std::uint32_t> vars;
  for (std::size_t i = 0; i < body.role_atoms.size(); ++i) {
    vars.push_back(body.role_atoms[i].x);
    vars.push_back(body.role_atoms[i].y);
  }
  std::sort(vars.begin(), vars.end());
  return static_cast<std::uint32_t>(std::unique(vars.begin(), vars.end()) - vars.begin());
}

// Places every role atom whose x is bound, pass after pass; nullopt when all are placed.
std::optional<BodyRefusal> plan_bindings(CompiledBody& body, std::uint32_t cap) {
  const std::size_t n = body.role_atoms.size();
  std::vector<std::uint32_t> bound{0};
  std::vector<bool> placed(n, false);
  std::size_t placed_count = 0;
  auto is_bound = [&](std::uint32_t v) { return std::find(bound.begin(), bound.end(), v) != bound.end(); };
  while (placed_count < n) {
    bool progress = false;
    for (std::size_t i = 0; i < n; ++i) {
      const BodyRoleAtom& atom = body.role_atoms[i];
      if (placed[i] || !is_bound(atom.x)) continue;
      placed[i] = true;
      ++placed_count;
      progress = true;
      if (is_bound(atom.y)) {
        body.checks.push_back(static_cast<std::uint32_t>(i));
        continue;
      }
      bound.push_back(atom.y);
      body.binding_order.push_back(static_cast<std::uint32_t>(i));
      if (bound.size() > cap)
        return BodyRefusal{BodyRefusal::Kind::VarCap, static_cast<std::uint32_t>(bound.size()), cap};
    }
    if (!progress) return BodyRefusal{BodyRefusal::Kind::Disconnected, 0, 0};
  }
  return std::nullopt;
}

}  // namespace

std::uint32_t body_var_cap() { return switch_flag(SwitchId::WideBodyVars) ? 16 : 8; }

BodyCompilation compile_body(std::span<const ClauseAtom> atoms) {
  CompiledBody body;
  for (const ClauseAtom& atom : atoms) {
    switch (atom.atom_kind()) {
      case ClauseAtomKind::ConceptAtom:
        if (atom.b == 0) {
          body.centre_concepts.push_back(atom.a);
        } else {
          body.other_concepts.push_back({atom.a, atom.b});
        }
        break;
      case ClauseAtomKind::RoleAtom: body.role_atoms.push_back({atom.role.inverse, atom.role.id.v, atom.a, atom.b}); break;
      default: return {};
    }
  }
  const std::uint32_t cap = body_var_cap();
  std::optional<BodyRefusal> refusal = plan_bindings(body, cap);
  if (trace_body_vars()) {
    const std::uint32_t vars = distinct_role_vars(body);
    const std::size_t roles = body.role_atoms.size();
    if (refusal) {
      std::fprintf(stderr, "[mbv] refused body: vars=%u role_atoms=%zu cap=%u reason=%s\n", vars, roles, cap,
                   refusal_text(*refusal).c_str());
    } else if (vars > 8) {
      std::fprintf(stderr, "[mbv] accepted body: vars=%u role_atoms=%zu cap=%u\n", vars, roles, cap);
    }
  }
  if (refusal) return {std::nullopt, refusal};
  return {std::move(body), std::nullopt};
}

std::uint64_t DisjointPairs::key(std::uint32_t a, std::uint32_t b) {
  const std::uint32_t lo = std::min(a, b), hi = std::max(a, b);
  return (static_cast<std::uint64_t>(lo) << 32) | hi;
}

void DisjointPairs::insert(std::uint32_t a, std::uint32_t b) { set_.insert(key(a, b)); }

bool DisjointPairs::contains(std::uint32_t a, std::uint32_t b) const { return set_.contains(key(a, b)); }

namespace {

// The (low, high) pair a clause A(v) ∧ B(v) → ⊥ forbids, if it is one.
std::optional<std::pair<std::uint32_t, std::uint32_t>> disjoint_pair_of(const DlClause& clause) {
  if (!clause.head.empty() || clause.body.size() != 2) return std::nullopt;
  const ClauseAtom& a = clause.body[0];
  const ClauseAtom& b = clause.body[1];
  if (a.atom_kind() != ClauseAtomKind::ConceptAtom || b.atom_kind() != ClauseAtomKind::ConceptAtom) return std::nullopt;
  if (a.b != b.b || a.a == b.a) return std::nullopt;
  return std::pair{std::min(a.a, b.a), std::max(a.a, b.a)};
}

// The role R of a clause R(x,y) ∧ R(y,z) → R(x,z), in either orientation.
std::optional<RoleId> transitive_role_of(const DlClause& clause) {
  if (clause.body.size() != 2 || clause.head.size() != 1) return std::nullopt;
  const ClauseAtom& p = clause.body[0];
  const ClauseAtom& q = clause.body[1];
  const ClauseAtom& h = clause.head[0];
  for (const ClauseAtom* a : {&p, &q, &h})
    if (a->atom_kind() != ClauseAtomKind::RoleAtom || a->role != p.role) return std::nullopt;
  if (p.a != 0 || p.b != 1 || q.a != 1 || q.b != 2 || h.a != 0 || h.b != 2) return std::nullopt;
  return p.role.id;
}

}  // namespace

DisjointPairs collect_disjoint_pairs(std::span<const DlClause> clauses) {
  DisjointPairs pairs;
  for (const DlClause& clause : clauses)
    if (auto p = disjoint_pair_of(clause)) pairs.insert(p->first, p->second);
  return pairs;
}

std::span<const std::uint64_t> TriggerLists::get(std::uint64_t key) const {
  if (dense_) {
    if (key >= by_key_.size()) return {};
    return by_key_[key];
  }
  for (const auto& [k, ids] : entries_)
    if (k == key) return ids;
  return {};
}

void TriggerLists::add(std::uint64_t key, std::uint64_t id) {
  std::vector<std::uint64_t>* ids = nullptr;
  if (dense_) {
    if (key >= by_key_.size()) by_key_.resize(key + 1);
    ids = &by_key_[key];
  } else {
    for (auto& [k, list] : entries_)
      if (k == key) ids = &list;
    if (ids == nullptr) ids = &entries_.emplace_back(key, std::vector<std::uint64_t>{}).second;
  }
  if (ids->empty() || ids->back() != id) ids->push_back(id);
}

void ClauseIndexes::add_clause(std::uint64_t id, const DlClause& clause, const RoleHierarchy* hierarchy) {
  compiled.push_back(compile_body(clause.body));
  if (clause.head.size() >= 2) {
    DisjunctiveRecord record{id, 0, 0};
    for (const ClauseAtom& atom : clause.body) {
      if (atom.atom_kind() == ClauseAtomKind::ConceptAtom && atom.b == 0) {
        record.has_centre_concept = 1;
        record.centre_concept = atom.a;
        break;
      }
    }
    disjunctive.push_back(record);
    return;
  }
  if (clause.body.empty()) {
    empty_body.push_back(id);
    return;
  }
  if (const std::optional<RoleId> t = transitive_role_of(clause)) {
    transitive_roles.add(t->v, t->v);
    if (hierarchy != nullptr) {
      for (RoleId sub : hierarchy->sub_roles(*t)) transitive_roles.add(sub.v, t->v);
      for (RoleId sub : hierarchy->reverse_sub_roles(*t)) transitive_roles.add(sub.v, t->v);
    }
    return;
  }
  for (const ClauseAtom& atom : clause.body) {
    if (atom.atom_kind() == ClauseAtomKind::ConceptAtom) {
      (atom.b == 0 ? centre_concept_triggers : other_concept_triggers).add(atom.a, id);
      continue;
    }
    if (atom.atom_kind() != ClauseAtomKind::RoleAtom) continue;
    const RoleId role = atom.role.id;
    const bool reversed = hierarchy != nullptr && hierarchy->has_reversed_sub_role(role);
    TriggerLists& shape = atom.a != 0                                   ? role_triggers_off_centre
                          : (!atom.role.is_named() || reversed) ? role_triggers_centre_reverse
                                                                        : role_triggers_centre_plain;
    role_triggers.add(role.v, id);
    shape.add(role.v, id);
    if (hierarchy == nullptr) continue;
    for (RoleId sub : hierarchy->sub_roles(role)) {
      if (sub == role) continue;
      role_triggers.add(sub.v, id);
      shape.add(sub.v, id);
    }
  }
}

std::pair<ClauseIndexes, std::vector<std::pair<std::uint32_t, std::uint32_t>>> ClauseIndexes::build(
    std::uint64_t first, std::span<const DlClause> clauses, const RoleHierarchy* hierarchy) {
  ClauseIndexes index(false);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pairs;
  for (std::size_t i = 0; i < clauses.size(); ++i) {
    index.add_clause(first + i, clauses[i], hierarchy);
    if (auto p = disjoint_pair_of(clauses[i]); p && std::find(pairs.begin(), pairs.end(), *p) == pairs.end())
      pairs.push_back(*p);
  }
  return {std::move(index), std::move(pairs)};
}

std::shared_ptr<const ClauseIndexes> build_base_index(std::span<const DlClause> clauses,
                                                      const RoleHierarchy* hierarchy) {
  auto index = std::make_shared<ClauseIndexes>(true);
  for (std::size_t i = 0; i < clauses.size(); ++i) index->add_clause(i, clauses[i], hierarchy);
  return index;
}

}  // namespace kelmon
