#include "core/dkeys/key_bucket_context.h"

#include <algorithm>
#include <utility>

#include "common/invariant.h"
#include "common/overload.h"
#include "common/switches.h"
#include "core/dkeys/key_lists.h"

namespace kelmon {

KeyClassFlags key_class_flags(const Namespace<ClassId>& classes) {
  KeyClassFlags flags(classes.size(), false);
  const auto& names = classes.names();
  for (std::size_t i = 0; i < names.size(); ++i) flags[i] = is_key_class_name(*names[i]);
  return flags;
}

void collect_negated_restrictions(const ConceptPool& pool, ConceptId concept_id, std::vector<bool>& visited,
                                  std::vector<NegatedRestriction>& out) {
  // Pre-order, members in list order, as a recursive walk would go.
  std::vector<ConceptId> stack{concept_id};
  auto push_members = [&](const std::vector<ConceptId>& members) {
    for (auto it = members.rbegin(); it != members.rend(); ++it) stack.push_back(*it);
  };
  while (!stack.empty()) {
    const ConceptId c = stack.back();
    stack.pop_back();
    if (visited.at(c.v)) continue;
    visited[c.v] = true;
    std::visit(Overload{
                   [&](const And& a) { push_members(a.members); },
                   [&](const Or& a) { push_members(a.members); },
                   [&](const Some& s) {
                     out.push_back({s.role, 0, s.filler});
                     stack.push_back(s.filler);
                   },
                   [&](const Min& m) {
                     out.push_back({m.role, 1, m.filler});
                     stack.push_back(m.filler);
                   },
                   [&](const All& a) { stack.push_back(a.filler); },
                   [&](const Max& m) { stack.push_back(m.filler); },
                   [](const auto&) {},
               },
               pool.get(c));
  }
}

namespace {

// Purity of every concept asked so far; a DAG shared by many restrictions is
// judged once. Children always have lower ids than their parents.
class PurityMemo {
 public:
  PurityMemo(const ConceptPool& pool, const KeyClassFlags& keys) : pool_(pool), keys_(keys), state_(pool.size(), 0) {}

  bool pure(ConceptId root) {
    if (state_.at(root.v) == 0) evaluate(root);
    return state_[root.v] == kPure;
  }

 private:
  static constexpr std::uint8_t kPure = 1;
  static constexpr std::uint8_t kImpure = 2;

  void evaluate(ConceptId root) {
    std::vector<ConceptId> stack{root};
    while (!stack.empty()) {
      const ConceptId c = stack.back();
      if (state_.at(c.v) != 0) {
        stack.pop_back();
        continue;
      }
      const std::size_t before = stack.size();
      auto members_state = [&](const std::vector<ConceptId>& members) -> std::uint8_t {
        if (members.empty()) return kImpure;
        bool all_known = true;
        bool all_pure = true;
        for (ConceptId m : members) {
          const std::uint8_t s = state_.at(m.v);
          if (s == 0) {
            all_known = false;
            stack.push_back(m);
          } else if (s == kImpure) {
            all_pure = false;
          }
        }
        if (!all_pure) return kImpure;
        return all_known ? kPure : 0;
      };
      const std::uint8_t result = std::visit(
          Overload{
              [&](const Atomic& a) -> std::uint8_t { return a.cls.v < keys_.size() && keys_[a.cls.v] ? kPure : kImpure; },
              [&](const Not& n) -> std::uint8_t {
                const std::uint8_t s = state_.at(n.operand.v);
                if (s == 0) stack.push_back(n.operand);
                return s;
              },
              [&](const And& a) { return members_state(a.members); },
              [&](const Or& a) { return members_state(a.members); },
              [](const auto&) -> std::uint8_t { return kImpure; },
          },
          pool_.get(c));
      if (result != 0) {
        state_[c.v] = result;
        stack.resize(before);  // drop members pushed while an impure one already decided
        stack.pop_back();
      }
    }
  }

  const ConceptPool& pool_;
  const KeyClassFlags& keys_;
  std::vector<std::uint8_t> state_;
};

// Walks Not, And and Or from a concept, each concept once per walk, and calls
// `at_key` for every Atomic key class reached. A concept shared many times
// below one filler is walked once, so a deep DAG cannot blow the walk up.
class KeyWalker {
 public:
  KeyWalker(const ConceptPool& pool, const KeyClassFlags& keys) : pool_(pool), keys_(keys), stamp_(pool.size(), 0) {}

  template <class Fn>
  void walk(ConceptId root, Fn&& at_key) {
    ++epoch_;
    std::vector<ConceptId>& stack = stack_;
    stack.assign(1, root);
    while (!stack.empty()) {
      const ConceptId c = stack.back();
      stack.pop_back();
      if (stamp_.at(c.v) == epoch_) continue;
      stamp_[c.v] = epoch_;
      const Concept& concept_value = pool_.get(c);
      if (const auto* a = std::get_if<Atomic>(&concept_value)) {
        if (a->cls.v < keys_.size() && keys_[a->cls.v]) at_key(a->cls);
      } else if (const auto* n = std::get_if<Not>(&concept_value)) {
        stack.push_back(n->operand);
      } else if (const auto* a = std::get_if<And>(&concept_value)) {
        for (auto it = a->members.rbegin(); it != a->members.rend(); ++it) stack.push_back(*it);
      } else if (const auto* o = std::get_if<Or>(&concept_value)) {
        for (auto it = o->members.rbegin(); it != o->members.rend(); ++it) stack.push_back(*it);
      }
    }
  }

 private:
  const ConceptPool& pool_;
  const KeyClassFlags& keys_;
  std::vector<std::uint32_t> stamp_;
  std::uint32_t epoch_ = 0;
  std::vector<ConceptId> stack_;
};

class RoleMarks {
 public:
  explicit RoleMarks(std::size_t role_count) : marks_(role_count, 0) {}
  void mark(Role r) {
    invariant(r.id.v < marks_.size(), "index out of range");
    marks_[r.id.v] = 1;
  }
  bool marked(std::size_t role) const { return marks_[role] != 0; }

  // Every role below a marked one (child of an edge whose parent is marked) becomes marked.
  void close_downward(const std::vector<std::vector<std::uint32_t>>& children) {
    std::vector<std::uint32_t> stack;
    for (std::size_t r = 0; r < marks_.size(); ++r)
      if (marks_[r]) stack.push_back(static_cast<std::uint32_t>(r));
    while (!stack.empty()) {
      const std::uint32_t r = stack.back();
      stack.pop_back();
      for (std::uint32_t c : children[r]) {
        if (marks_[c]) continue;
        marks_[c] = 1;
        stack.push_back(c);
      }
    }
  }

  std::size_t size() const { return marks_.size(); }

 private:
  std::vector<std::uint8_t> marks_;
};

class RoleForest {
 public:
  explicit RoleForest(std::size_t role_count) : parent_(role_count), rank_(role_count, 0) {
    for (std::size_t r = 0; r < role_count; ++r) parent_[r] = r;
  }

  // Path halving.
  GroupRoot find(std::uint64_t x) {
    while (parent_.at(x) != x) {
      parent_[x] = parent_[parent_[x]];
      x = parent_[x];
    }
    return x;
  }

  void unite(std::uint64_t child, std::uint64_t parent) {
    const GroupRoot c = find(child);
    const GroupRoot p = find(parent);
    if (c == p) return;
    if (rank_[c] < rank_[p]) {
      parent_[c] = p;
    } else if (rank_[p] < rank_[c]) {
      parent_[p] = c;
    } else {
      parent_[p] = c;
      if (rank_[c] < 255) ++rank_[c];
    }
  }

 private:
  std::vector<std::uint64_t> parent_;
  std::vector<std::uint8_t> rank_;
};

void add_root_once(std::vector<GroupRoot>& roots, GroupRoot root) {
  if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
}

using Edge = std::pair<std::uint64_t, std::uint64_t>;  // (child, parent)

std::vector<Edge> role_edges(const std::vector<Axiom>& axioms) {
  std::vector<Edge> edges;
  for (const Axiom& axiom : axioms) {
    if (const auto* s = std::get_if<SubObjectPropertyOf>(&axiom)) {
      if (const auto* single = std::get_if<Single>(&s->sub)) {
        edges.emplace_back(single->role.id.v, s->sup.id.v);
      } else {
        for (Role member : std::get<Chain>(s->sub).roles) edges.emplace_back(member.id.v, s->sup.id.v);
      }
    } else if (const auto* e = std::get_if<EquivalentObjectProperties>(&axiom)) {
      for (std::size_t i = 0; i + 1 < e->roles.size(); ++i) {
        edges.emplace_back(e->roles[i].id.v, e->roles[i + 1].id.v);
        edges.emplace_back(e->roles[i + 1].id.v, e->roles[i].id.v);
      }
    } else if (const auto* inv = std::get_if<InverseObjectProperties>(&axiom)) {
      edges.emplace_back(inv->first.id.v, inv->second.id.v);
      edges.emplace_back(inv->second.id.v, inv->first.id.v);
    }
  }
  return edges;
}

// The concepts of class axioms, where a key used outside any restriction is direct.
void collect_direct_keys(const InternalOntology& ontology, const KeyClassFlags& keys, KeyWalker& walker,
                         tsl::robin_set<ClassId>& direct) {
  auto walk = [&](ConceptId c) { walker.walk(c, [&](ClassId k) { direct.insert(k); }); };
  auto walk_all = [&](const std::vector<ConceptId>& list) {
    for (ConceptId c : list) walk(c);
  };
  for (const Axiom& axiom : ontology.axioms) {
    std::visit(Overload{
                   [&](const SubClassOf& a) {
                     walk(a.sub);
                     walk(a.sup);
                   },
                   [&](const EquivalentClasses& a) { walk_all(a.members); },
                   [&](const DisjointClasses& a) { walk_all(a.members); },
                   [&](const DisjointUnion& a) {
                     if (a.cls.v < keys.size() && keys[a.cls.v]) direct.insert(a.cls);
                     walk_all(a.parts);
                   },
                   [&](const ObjectPropertyDomain& a) { walk(a.domain); },
                   [&](const ClassAssertion& a) { walk(a.concept_id); },
                   [](const auto&) {},
               },
               axiom);
  }
}

}  // namespace

bool is_pure_key_concept(const ConceptPool& pool, ConceptId concept_id, const KeyClassFlags& keys) {
  PurityMemo memo(pool, keys);
  return memo.pure(concept_id);
}

KeyBucketContext build_key_bucket_context(const InternalOntology& ontology, const KeyClassFlags& keys) {
  KeyBucketContext context;
  const std::size_t role_count = ontology.vocabulary.roles.size();
  if (role_count == 0 || std::find(keys.begin(), keys.end(), true) == keys.end()) return context;

  const ConceptPool& pool = ontology.concepts;
  const std::size_t concept_count = pool.size();
  RoleMarks bounded(role_count);
  RoleMarks strict(role_count);
  PurityMemo purity(pool, keys);

  // Bounded marks from axioms and concepts.
  for (const Axiom& axiom : ontology.axioms) {
    if (const auto* f = std::get_if<FunctionalRole>(&axiom)) bounded.mark(f->role);
    else if (const auto* f = std::get_if<InverseFunctionalRole>(&axiom)) bounded.mark(f->role);
    else if (const auto* r = std::get_if<ObjectPropertyRange>(&axiom)) bounded.mark(r->role);
  }
  for (std::uint32_t i = 0; i < concept_count; ++i) {
    const Concept& c = pool.get(ConceptId{i});
    if (const auto* a = std::get_if<All>(&c)) bounded.mark(a->role);
    else if (const auto* m = std::get_if<Max>(&c)) bounded.mark(m->role);
  }

  // Restrictions under a negation turn into all-values and at-most ones in NNF.
  std::vector<NegatedRestriction> negated;
  if (switch_flag(SwitchId::DkeyPostNnf)) {
    std::vector<bool> visited(concept_count, false);
    for (std::uint32_t i = 0; i < concept_count; ++i)
      if (const auto* n = std::get_if<Not>(&pool.get(ConceptId{i})))
        collect_negated_restrictions(pool, n->operand, visited, negated);
    for (const NegatedRestriction& r : negated) bounded.mark(r.role);
  }

  const std::vector<Edge> edges = role_edges(ontology.axioms);
  std::vector<std::vector<std::uint32_t>> children(role_count);
  for (const auto& [child, parent] : edges) {
    invariant(child < role_count && parent < role_count, "index out of range");
    children[parent].push_back(static_cast<std::uint32_t>(child));
  }
  bounded.close_downward(children);

  // Strict marks: properties whose values must be pairwise told apart.
  for (const Axiom& axiom : ontology.axioms) {
    if (const auto* f = std::get_if<FunctionalRole>(&axiom)) strict.mark(f->role);
    else if (const auto* f = std::get_if<InverseFunctionalRole>(&axiom)) strict.mark(f->role);
    else if (const auto* r = std::get_if<ObjectPropertyRange>(&axiom)) {
      if (!purity.pure(r->range)) strict.mark(r->role);
    }
  }
  for (std::uint32_t i = 0; i < concept_count; ++i) {
    const Concept& c = pool.get(ConceptId{i});
    if (const auto* a = std::get_if<All>(&c)) {
      if (!purity.pure(a->filler)) strict.mark(a->role);
    } else if (const auto* m = std::get_if<Max>(&c)) {
      strict.mark(m->role);
    }
  }
  for (const NegatedRestriction& r : negated)
    if (r.at_least == 1 || !purity.pure(r.filler)) strict.mark(r.role);
  strict.close_downward(children);

  RoleForest forest(role_count);
  for (const auto& [child, parent] : edges)
    if (bounded.marked(parent)) forest.unite(child, parent);

  const bool gated = switch_flag(SwitchId::DkeyMergingGate);
  tsl::robin_set<GroupRoot> gate;
  if (gated)
    for (std::size_t r = 0; r < role_count; ++r)
      if (bounded.marked(r)) gate.insert(forest.find(r));
  for (std::size_t r = 0; r < role_count; ++r)
    if (strict.marked(r)) context.all_pairs_groups.insert(forest.find(r));

  KeyWalker walker(pool, keys);
  auto record = [&](Role role, ConceptId filler, bool universal) {
    invariant(role.id.v < role_count, "index out of range");
    const GroupRoot root = forest.find(role.id.v);
    if (gated && !gate.contains(root)) return;
    walker.walk(filler, [&](ClassId k) {
      add_root_once(context.key_groups[k], root);
      if (universal) add_root_once(context.universal_groups[k], root);
    });
  };
  for (std::uint32_t i = 0; i < concept_count; ++i) {
    std::visit(Overload{
                   [&](const Some& s) { record(s.role, s.filler, false); },
                   [&](const Min& m) { record(m.role, m.filler, false); },
                   [&](const Max& m) { record(m.role, m.filler, false); },
                   [&](const All& a) { record(a.role, a.filler, true); },
                   [](const auto&) {},
               },
               pool.get(ConceptId{i}));
  }
  for (const NegatedRestriction& r : negated) record(r.role, r.filler, r.at_least == 0);
  for (const Axiom& axiom : ontology.axioms)
    if (const auto* r = std::get_if<ObjectPropertyRange>(&axiom)) record(r->role, r->range, true);

  collect_direct_keys(ontology, keys, walker, context.direct_keys);
  return context;
}

}  // namespace kelmon
