// Negation normal form with an explicit stack: concepts come from documents
// anyone can write, and their nesting depth must not reach the C stack. The
// walk visits children left to right and interns a node after its children,
// exactly the order of the plain recursive definition, so ids come out the same.
// Results are remembered per call: a shared sub-concept (documents can share
// nodes, e.g. RDF blank nodes) is normalised once instead of once per path,
// which keeps the work linear in the pool rather than exponential. Recomputing
// it would intern nothing new, so the memo changes no id.
#include <cstdint>
#include <limits>
#include <vector>

#include <tsl/robin_map.h>

#include "core/concept_pool.h"

namespace kelmon {

namespace {

struct Frame {
  ConceptId id;
  bool negated;
  std::uint32_t next_child;
  std::size_t result_base;
};

struct Child {
  ConceptId id;
  bool negated;
};

constexpr std::uint32_t kU32Max = std::numeric_limits<std::uint32_t>::max();

std::uint64_t memo_key(ConceptId id, bool negated) { return (std::uint64_t{id.v} << 1) | (negated ? 1u : 0u); }

// How many sub-results the node needs before it can be finished.
std::uint32_t child_count(const Concept& c, bool negated) {
  switch (concept_kind(c)) {
    case ConceptKind::And: return static_cast<std::uint32_t>(std::get<And>(c).members.size());
    case ConceptKind::Or: return static_cast<std::uint32_t>(std::get<Or>(c).members.size());
    case ConceptKind::Some:
    case ConceptKind::All: return 1;
    case ConceptKind::Min: return std::get<Min>(c).n == 0 ? 0 : 1;
    case ConceptKind::Max: return negated && std::get<Max>(c).n == kU32Max ? 0 : 1;
    default: return 0;
  }
}

// The k-th child: members keep the node's polarity; a filler of Some/All is
// complemented under negation, a number restriction's filler never is.
Child child_at(const Concept& c, bool negated, std::uint32_t k) {
  switch (concept_kind(c)) {
    case ConceptKind::And: return {std::get<And>(c).members[k], negated};
    case ConceptKind::Or: return {std::get<Or>(c).members[k], negated};
    case ConceptKind::Some: return {std::get<Some>(c).filler, negated};
    case ConceptKind::All: return {std::get<All>(c).filler, negated};
    case ConceptKind::Min: return {std::get<Min>(c).filler, false};
    default: return {std::get<Max>(c).filler, false};
  }
}

}  // namespace

ConceptId ConceptPool::nnf(ConceptId id) { return normal_form(id, false); }
ConceptId ConceptPool::nnf_not(ConceptId id) { return normal_form(id, true); }

ConceptId ConceptPool::normal_form(ConceptId root, bool root_negated) {
  std::vector<Frame> frames;
  std::vector<ConceptId> results;
  tsl::robin_map<std::uint64_t, ConceptId> memo;
  frames.push_back({root, root_negated, 0, 0});
  while (!frames.empty()) {
    Frame& f = frames.back();
    const Concept& c = get(f.id);
    if (const Not* n = std::get_if<Not>(&c)) {
      // nnf(Not y) = nnf_not(y) and nnf_not(Not y) = nnf(y): same frame, flipped.
      f.id = n->operand;
      f.negated = !f.negated;
      continue;
    }
    if (f.next_child < child_count(c, f.negated)) {
      Child next = child_at(c, f.negated, f.next_child);
      ++f.next_child;
      if (auto hit = memo.find(memo_key(next.id, next.negated)); hit != memo.end()) {
        results.push_back(hit->second);
        continue;
      }
      frames.push_back({next.id, next.negated, 0, results.size()});
      continue;
    }
    const bool neg = f.negated;
    const ConceptId self_id = f.id;
    const std::size_t base = f.result_base;
    ConceptId out;
    switch (concept_kind(c)) {
      case ConceptKind::Top: out = neg ? intern(Bottom{}) : self_id; break;
      case ConceptKind::Bottom: out = neg ? intern(Top{}) : self_id; break;
      case ConceptKind::Atomic:
      case ConceptKind::Nominal:
      case ConceptKind::Self: out = neg ? intern(Not{self_id}) : self_id; break;
      case ConceptKind::And:
      case ConceptKind::Or: {
        std::vector<ConceptId> parts(results.begin() + static_cast<std::ptrdiff_t>(base), results.end());
        bool conjunction = std::holds_alternative<And>(c) != neg;
        out = conjunction ? mk_and(std::move(parts)) : mk_or(std::move(parts));
        break;
      }
      case ConceptKind::Some: {
        Role r = std::get<Some>(c).role;
        out = neg ? intern(All{results[base], r}) : intern(Some{results[base], r});
        break;
      }
      case ConceptKind::All: {
        Role r = std::get<All>(c).role;
        out = neg ? intern(Some{results[base], r}) : intern(All{results[base], r});
        break;
      }
      case ConceptKind::Min: {
        const Min& m = std::get<Min>(c);
        if (m.n == 0) out = neg ? intern(Bottom{}) : intern(Top{});
        else out = neg ? intern(Max{m.n - 1, results[base], m.role}) : intern(Min{m.n, results[base], m.role});
        break;
      }
      case ConceptKind::Max: {
        const Max& m = std::get<Max>(c);
        // n + 1 does not fit the count: the complement is taken as Top.
        if (neg && m.n == kU32Max) out = intern(Top{});
        else out = neg ? intern(Min{m.n + 1, results[base], m.role}) : intern(Max{m.n, results[base], m.role});
        break;
      }
      case ConceptKind::Not: out = self_id; break;  // handled above
    }
    if (child_count(c, neg) > 0) memo.emplace(memo_key(self_id, neg), out);
    frames.pop_back();
    results.resize(base);
    results.push_back(out);
  }
  return results.front();
}

}  // namespace kelmon
