#include "core/told.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "common/invariant.h"
#include "common/overload.h"

namespace kelmon {

namespace {

using Pair = std::pair<std::uint32_t, std::uint32_t>;

constexpr const char* kClassOutOfRange = "ToldTables: class id out of range";

std::optional<ClassId> atomic_class(const ConceptPool& pool, ConceptId id) {
  if (const Atomic* a = std::get_if<Atomic>(&pool.get(id))) return a->cls;
  return std::nullopt;
}

// Told edges and disjoint pairs of one walk over the axioms.
struct ToldFacts {
  std::size_t n;
  std::vector<Pair> edges;
  std::vector<Pair> disjoint;

  std::uint32_t row(ClassId c) const {
    invariant(c.v < n, kClassOutOfRange);
    return c.v;
  }
  void edge(ClassId a, ClassId b) { edges.emplace_back(row(a), row(b)); }
  void disjoint_pair(ClassId a, ClassId b) {
    disjoint.emplace_back(row(a), row(b));
    if (a != b) disjoint.emplace_back(b.v, a.v);
  }
};

// The Atomic members of a list, in list order; every member is looked up.
std::vector<ClassId> atomic_members(const ConceptPool& pool, const std::vector<ConceptId>& list) {
  std::vector<ClassId> out;
  for (ConceptId m : list)
    if (auto c = atomic_class(pool, m)) out.push_back(*c);
  return out;
}

void collect_sub_class_of(const ConceptPool& pool, const SubClassOf& a, ToldFacts& facts) {
  const Concept& sub = pool.get(a.sub);
  const Concept& sup = pool.get(a.sup);
  if (const Atomic* s = std::get_if<Atomic>(&sub)) {
    if (const Atomic* t = std::get_if<Atomic>(&sup)) facts.edge(s->cls, t->cls);
    if (const Not* n = std::get_if<Not>(&sup))
      if (auto b = atomic_class(pool, n->operand)) facts.disjoint_pair(s->cls, *b);
  }
  if (const And* conj = std::get_if<And>(&sub); conj && std::holds_alternative<Bottom>(sup)) {
    if (conj->members.size() == 2) {
      auto x = atomic_class(pool, conj->members[0]);
      auto y = atomic_class(pool, conj->members[1]);
      if (x && y) facts.disjoint_pair(*x, *y);
    }
  }
}

void collect_all_pairs_disjoint(const std::vector<ClassId>& atoms, ToldFacts& facts) {
  for (std::size_t i = 0; i < atoms.size(); ++i)
    for (std::size_t j = i + 1; j < atoms.size(); ++j) facts.disjoint_pair(atoms[i], atoms[j]);
}

ToldFacts collect_told_facts(const InternalOntology& ontology) {
  const ConceptPool& pool = ontology.concepts;
  ToldFacts facts{ontology.vocabulary.classes.size(), {}, {}};
  for (const Axiom& axiom : ontology.axioms) {
    std::visit(Overload{
                   [&](const SubClassOf& a) { collect_sub_class_of(pool, a, facts); },
                   [&](const EquivalentClasses& a) {
                     auto atoms = atomic_members(pool, a.members);
                     for (std::size_t i = 0; i < atoms.size(); ++i)
                       for (std::size_t j = i + 1; j < atoms.size(); ++j) {
                         facts.edge(atoms[i], atoms[j]);
                         facts.edge(atoms[j], atoms[i]);
                       }
                   },
                   [&](const DisjointClasses& a) { collect_all_pairs_disjoint(atomic_members(pool, a.members), facts); },
                   [&](const DisjointUnion& a) {
                     auto atoms = atomic_members(pool, a.parts);
                     for (ClassId part : atoms) facts.edge(part, a.cls);
                     collect_all_pairs_disjoint(atoms, facts);
                   },
                   [](const auto&) {},
               },
               axiom);
  }
  return facts;
}

// Rows from (row, value) pairs: sorted, duplicate-free, one row per class.
RowTable<ClassId> rows_from_pairs(std::vector<Pair>& pairs, std::size_t n) {
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
  std::vector<std::size_t> offsets(n + 1, 0);
  for (const Pair& p : pairs) ++offsets[p.first + 1];
  for (std::size_t i = 0; i < n; ++i) offsets[i + 1] += offsets[i];
  std::vector<ClassId> data;
  data.reserve(pairs.size());
  for (const Pair& p : pairs) data.push_back(ClassId{p.second});
  return RowTable<ClassId>::from_parts(std::move(offsets), std::move(data), kClassOutOfRange);
}

}  // namespace

ToldTables ToldTables::build(const InternalOntology& ontology) {
  ToldFacts facts = collect_told_facts(ontology);
  const std::size_t n = facts.n;
  invariant(n <= std::numeric_limits<std::uint32_t>::max(), "ToldTables: too many classes");

  // Direct edges as adjacency rows; duplicates do not change the closure.
  RowTable<ClassId> edges = rows_from_pairs(facts.edges, n);

  ToldTables t;
  std::vector<std::uint8_t> visited(n, 0);
  std::vector<ClassId> queue;
  std::vector<std::size_t> sub_counts(n + 1, 0);
  for (std::size_t c = 0; c < n; ++c) {
    queue.clear();
    queue.push_back(ClassId{static_cast<std::uint32_t>(c)});
    visited[c] = 1;
    // Breadth-first; a class is queued once, and the queue is the reached set.
    for (std::size_t head = 0; head < queue.size(); ++head) {
      for (ClassId target : edges[queue[head]]) {
        if (visited[target.v]) continue;
        visited[target.v] = 1;
        queue.push_back(target);
      }
    }
    for (ClassId b : queue) visited[b.v] = 0;
    std::sort(queue.begin(), queue.end());
    for (ClassId b : queue) ++sub_counts[b.v + 1];
    t.supers.push_row(queue);
  }
  t.supers.shrink_to_fit();

  // The transpose; walking classes in ascending order keeps every subs row ascending.
  for (std::size_t i = 0; i < n; ++i) sub_counts[i + 1] += sub_counts[i];
  std::vector<ClassId> sub_data(sub_counts[n]);
  std::vector<std::size_t> fill(sub_counts.begin(), sub_counts.end() - 1);
  for (std::size_t c = 0; c < n; ++c)
    for (ClassId d : t.supers.at(c)) sub_data[fill[d.v]++] = ClassId{static_cast<std::uint32_t>(c)};
  t.subs = RowTable<ClassId>::from_parts(std::move(sub_counts), std::move(sub_data), kClassOutOfRange);

  t.disjoint = rows_from_pairs(facts.disjoint, n);
  return t;
}

Definitions build_definitions(const InternalOntology& ontology) {
  const ConceptPool& pool = ontology.concepts;
  Definitions defs;
  defs.entries.assign(ontology.vocabulary.classes.size(), std::nullopt);
  for (const Axiom& axiom : ontology.axioms) {
    const EquivalentClasses* eq = std::get_if<EquivalentClasses>(&axiom);
    if (eq == nullptr || eq->members.size() != 2) continue;
    auto first = atomic_class(pool, eq->members[0]);
    auto second = atomic_class(pool, eq->members[1]);
    if (first.has_value() == second.has_value()) continue;
    ClassId defined = first ? *first : *second;
    ConceptId definition = first ? eq->members[1] : eq->members[0];
    invariant(defined.v < defs.entries.size(), "Definitions: class id out of range");
    if (!defs.entries[defined.v]) defs.entries[defined.v] = definition;
  }
  return defs;
}

void concept_class_walk(ConceptId root, const ConceptPool& pool, ConceptVisitedSet& visited,
                        std::vector<ClassId>& out) {
  // Pre-order with an explicit stack; children are pushed in reverse so they
  // are taken in list order, as the recursive walk would take them.
  std::vector<ConceptId> stack{root};
  while (!stack.empty()) {
    ConceptId x = stack.back();
    stack.pop_back();
    if (!visited.insert(x)) continue;
    const Concept& c = pool.get(x);
    auto push_list = [&](const std::vector<ConceptId>& list) { stack.insert(stack.end(), list.rbegin(), list.rend()); };
    std::visit(Overload{
                   [&](const Atomic& a) { out.push_back(a.cls); },
                   [&](const Not& n) { stack.push_back(n.operand); },
                   [&](const Some& s) { stack.push_back(s.filler); },
                   [&](const All& s) { stack.push_back(s.filler); },
                   [&](const Min& s) { stack.push_back(s.filler); },
                   [&](const Max& s) { stack.push_back(s.filler); },
                   [&](const And& l) { push_list(l.members); },
                   [&](const Or& l) { push_list(l.members); },
                   [](const auto&) {},
               },
               c);
  }
}

void concept_class_signature(ConceptId id, const ConceptPool& pool, std::vector<ClassId>& out) {
  ConceptVisitedSet visited;
  concept_class_walk(id, pool, visited, out);
}

void axiom_class_signature(const Axiom& axiom, const ConceptPool& pool, std::vector<ClassId>& out) {
  auto each = [&](const std::vector<ConceptId>& list) {
    for (ConceptId m : list) concept_class_signature(m, pool, out);
  };
  std::visit(Overload{
                 [&](const SubClassOf& a) {
                   concept_class_signature(a.sub, pool, out);
                   concept_class_signature(a.sup, pool, out);
                 },
                 [&](const EquivalentClasses& a) { each(a.members); },
                 [&](const DisjointClasses& a) { each(a.members); },
                 [&](const DisjointUnion& a) {
                   out.push_back(a.cls);
                   each(a.parts);
                 },
                 [&](const ObjectPropertyDomain& a) { concept_class_signature(a.domain, pool, out); },
                 [&](const ObjectPropertyRange& a) { concept_class_signature(a.range, pool, out); },
                 [&](const ClassAssertion& a) { concept_class_signature(a.concept_id, pool, out); },
                 [](const auto&) {},
             },
             axiom);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
}

std::vector<ClassId> axiom_class_signature(const Axiom& axiom, const ConceptPool& pool) {
  std::vector<ClassId> out;
  axiom_class_signature(axiom, pool, out);
  return out;
}

}  // namespace kelmon
