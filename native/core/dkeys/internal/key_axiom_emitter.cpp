#include "core/dkeys/internal/key_axiom_emitter.h"

#include <algorithm>
#include <tuple>

namespace kelmon::dkeys {

KeyAxiomEmitter::KeyAxiomEmitter(InternalOntology& ontology)
    : ontology_(ontology), atomic_(ontology.vocabulary.classes.size(), kUnknown) {
  const ConceptPool& pool = ontology.concepts;
  for (std::uint32_t i = 0; i < pool.size(); ++i)
    if (const auto* a = std::get_if<Atomic>(&pool.get(ConceptId{i})))
      if (a->cls.v < atomic_.size()) atomic_[a->cls.v] = i;
}

void KeyAxiomEmitter::add(ClassId first, ClassId second, bool disjoint, const OrderKey& order) {
  const std::uint32_t a = atomic_.at(first.v);
  const std::uint32_t b = atomic_.at(second.v);
  if (a != kUnknown && b != kUnknown) {
    ready_.push_back({ConceptId{a}, ConceptId{b}, disjoint});
    return;
  }
  if (a == kUnknown) note_first_use(first, order, 0);
  if (b == kUnknown) note_first_use(second, order, 1);
  waiting_.push_back({first, second, disjoint});
}

void KeyAxiomEmitter::note_first_use(ClassId cls, const OrderKey& order, std::uint8_t side) {
  auto [it, inserted] = first_use_.try_emplace(cls.v, FirstUse{order, side});
  if (!inserted && std::tie(order, side) < std::tie(it->second.order, it->second.side))
    it.value() = FirstUse{order, side};
}

void KeyAxiomEmitter::finish_step() {
  if (first_use_.empty()) return;
  std::vector<std::pair<FirstUse, std::uint32_t>> fresh;
  fresh.reserve(first_use_.size());
  for (const auto& [cls, use] : first_use_) fresh.emplace_back(use, cls);
  std::sort(fresh.begin(), fresh.end(), [](const auto& x, const auto& y) {
    return std::tie(x.first.order, x.first.side) < std::tie(y.first.order, y.first.side);
  });
  for (const auto& [use, cls] : fresh) atomic_[cls] = ontology_.concepts.intern(Atomic{ClassId{cls}}).v;
  for (const Waiting& w : waiting_)
    ready_.push_back({ConceptId{atomic_[w.first.v]}, ConceptId{atomic_[w.second.v]}, w.disjoint});
  waiting_.clear();
  first_use_.clear();
}

void KeyAxiomEmitter::finish() {
  finish_step();
  auto& axioms = ontology_.axioms;
  axioms.reserve(axioms.size() + ready_.size());
  for (const Ready& r : ready_) {
    if (r.disjoint) axioms.emplace_back(DisjointClasses{{r.first, r.second}});
    else axioms.emplace_back(SubClassOf{r.first, r.second});
  }
  ready_.clear();
  ready_.shrink_to_fit();
}

}  // namespace kelmon::dkeys
