#include "reasoner/kernel/extension_pruning.h"

#include <algorithm>
#include <limits>

#include <tsl/robin_map.h>

namespace kelmon::reasoner {

namespace {

constexpr std::uint32_t kNoPartner = std::numeric_limits<std::uint32_t>::max();

// What the clauses do with one class: the partner of its disjointness
// clauses, or that something else reads it.
struct Use {
  std::uint32_t partner = kNoPartner;
  bool blocked = false;
};

// N(x) ∧ C(x) → ⊥ for two different classes on one variable.
bool is_binary_disjointness(const DlClause& c) {
  if (!c.head.empty() || c.body.size() != 2) return false;
  const ClauseAtom& a = c.body[0];
  const ClauseAtom& b = c.body[1];
  return a.atom_kind() == ClauseAtomKind::ConceptAtom && b.atom_kind() == ClauseAtomKind::ConceptAtom &&
         a.b == b.b && a.a != b.a;
}

tsl::robin_map<std::uint32_t, Use> class_uses(std::span<const DlClause> clauses) {
  tsl::robin_map<std::uint32_t, Use> uses;
  auto block = [&](std::uint32_t cls) { uses[cls].blocked = true; };
  auto pair_with = [&](std::uint32_t cls, std::uint32_t partner) {
    Use& u = uses[cls];
    if (u.partner == kNoPartner) u.partner = partner;
    else if (u.partner != partner) u.blocked = true;
  };
  for (const DlClause& c : clauses) {
    if (is_binary_disjointness(c)) {
      pair_with(c.body[0].a, c.body[1].a);
      pair_with(c.body[1].a, c.body[0].a);
      continue;
    }
    for (const ClauseAtom& atom : c.body) {
      switch (atom.atom_kind()) {
        case ClauseAtomKind::RoleAtom: break;
        case ClauseAtomKind::ConceptAtom:
        case ClauseAtomKind::ExistsAtom: block(atom.a); break;
        case ClauseAtomKind::AtMostAtom:
        case ClauseAtomKind::AtLeastAtom: block(atom.filler); break;
      }
    }
    // An at-most atom counts its filler: more nodes holding it could break it.
    for (const ClauseAtom& atom : c.head)
      if (atom.atom_kind() == ClauseAtomKind::AtMostAtom && atom.flag != 0) block(atom.filler);
  }
  return uses;
}

}  // namespace

std::size_t drop_extension_satisfied_clauses(std::vector<DlClause>& clauses, const ExtensionPruneScope& scope) {
  tsl::robin_map<std::uint32_t, Use> uses = class_uses(clauses);
  auto is_nominal = [&](std::uint32_t cls) {
    return cls >= scope.first_nominal && cls - scope.first_nominal < scope.nominal_count;
  };
  for (std::uint32_t cls : scope.protected_classes) uses[cls].blocked = true;

  // Classes in ascending order, so that of two partners the lower one is taken.
  std::vector<std::uint32_t> heads;
  for (const DlClause& c : clauses)
    for (const ClauseAtom& atom : c.head)
      if (atom.atom_kind() == ClauseAtomKind::ConceptAtom) heads.push_back(atom.a);
  std::sort(heads.begin(), heads.end());
  heads.erase(std::unique(heads.begin(), heads.end()), heads.end());
  tsl::robin_map<std::uint32_t, std::uint32_t> extendable;  // class -> partner (kNoPartner: none)
  for (std::uint32_t cls : heads) {
    if (is_nominal(cls)) continue;
    const auto it = uses.find(cls);
    const Use use = it == uses.end() ? Use{} : it->second;
    if (use.blocked || (use.partner != kNoPartner && extendable.contains(use.partner))) continue;
    extendable.emplace(cls, use.partner);
  }
  if (extendable.empty()) return 0;

  auto satisfied = [&](const DlClause& c) {
    for (const ClauseAtom& atom : c.head) {
      if (atom.atom_kind() != ClauseAtomKind::ConceptAtom) continue;
      const auto it = extendable.find(atom.a);
      if (it == extendable.end()) continue;
      if (it->second == kNoPartner) return true;
      const bool partner_too = std::any_of(c.head.begin(), c.head.end(), [&](const ClauseAtom& other) {
        return other.atom_kind() == ClauseAtomKind::ConceptAtom && other.a == it->second && other.b == atom.b;
      });
      if (partner_too) return true;
    }
    return false;
  };
  const auto before = clauses.size();
  clauses.erase(std::remove_if(clauses.begin(), clauses.end(), satisfied), clauses.end());
  return before - clauses.size();
}

}  // namespace kelmon::reasoner
